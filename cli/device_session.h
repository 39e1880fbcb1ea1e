#pragma once
// Finding and opening the ZEL-OT40 for one command, with the connect steps the panel takes, and its failures in
// words.

#include <ostream>
#include <string>
#include <string_view>

#include "device/device_link.h"
#include "device/query_exchange.h"

namespace sw::cli {

// Closes the device when the command ends.
class OpenDevice {
public:
    explicit OpenDevice(device::DeviceLink& link) : link_(link) {}
    ~OpenDevice() { link_.Close(); }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

private:
    device::DeviceLink& link_;
};

// Why the link's last Open failed, in words for a message (the remedy when access was refused).
std::string openFailureReason(const device::DeviceLink& link);

// Opens the first ZEL-OT40 interface, or `wantedPath` if given. Returns the exit code: 0 when it is open (with its
// lengths), else the reason went to `err`: 2 when `wantedPath` is not a ZEL-OT40 interface that is present, 1 for
// every other failure.
int openDevice(device::DeviceLink& link,
               std::string_view wantedPath,
               std::ostream& err,
               device::ReportLengths& lengths);

}  // namespace sw::cli
