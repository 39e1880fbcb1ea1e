#pragma once
// Finding hidraw nodes by their HID ID through sysfs: /sys/class/hidraw/hidrawN/device/uevent holds a line
// "HID_ID=0003:00003C9B:00005D17" (bus, vendor, product). The root is a parameter so tests can use a fake tree.

#include <cstdint>
#include <string>
#include <vector>

namespace sw::device {

// The device nodes (devRoot + "/hidrawN") of every matching hidraw, by ascending N: the first is the one used.
std::vector<std::string> findHidrawNodes(const std::string& sysfsRoot,
                                         const std::string& devRoot,
                                         std::uint16_t vendorId,
                                         std::uint16_t productId);

// Whether a uevent text names this vendor and product (any bus).
bool ueventMatches(const std::string& uevent, std::uint16_t vendorId, std::uint16_t productId);

}  // namespace sw::device
