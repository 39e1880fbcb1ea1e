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

// Each matching node with its port (the HID device's phys without its "/inputN" interface part, e.g.
// "usb-0000:00:14.0-1.2") and its serial number (uniq), where the kernel has them.
struct HidrawBox {
    std::string node;
    std::string port;
    std::string serial;
};
std::vector<HidrawBox> findHidrawBoxes(const std::string& sysfsRoot,
                                       const std::string& devRoot,
                                       std::uint16_t vendorId,
                                       std::uint16_t productId);

// The value of a "KEY=value" line of a uevent text; empty when there is none.
std::string ueventField(const std::string& uevent, const std::string& key);

// Whether a uevent text names this vendor and product (any bus).
bool ueventMatches(const std::string& uevent, std::uint16_t vendorId, std::uint16_t productId);

}  // namespace sw::device
