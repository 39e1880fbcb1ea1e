#pragma once
// Finding, opening and measuring the device: SetupAPI's HID interface class, CreateFileA and hid.dll.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/win_call_failure.h"
#include "win32/unique_handle.h"

namespace sw::device {

using win32::UniqueHandle;

// The path of the first present HID interface whose path contains "vid_%04x&pid_%04x" in lower case. `path` is
// emptied first and stays empty on false.
bool FindHidInterfacePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path, CallFailure& failure);

// Every present HID interface whose path matches, in enumeration order (the first is FindHidInterfacePath's).
std::vector<std::string> FindHidInterfacePaths(std::uint16_t vendorId, std::uint16_t productId, CallFailure& failure);

// Where the interface's USB device is plugged in and its serial number, as far as the system tells (empty
// otherwise): the first of the location paths of the nearest device above the interface that has them
// ("PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)"), and the serial number that the USB device's instance ID ends in
// (a device without one gets an ID the system makes up, which holds '&').
void DescribeHidInterface(const std::string& path, std::string& port, std::string& serial);

// Shared reading and writing with overlapped I/O; an invalid handle when the path cannot be opened.
UniqueHandle OpenHidInterface(const std::string& path, CallFailure& failure);

// Each given output is cleared first; false with neither given, an invalid handle or any failure of hid.dll.
bool ReadReportLengths(HANDLE device, std::uint16_t* inputLength, std::uint16_t* outputLength, CallFailure& failure);

}  // namespace sw::device
