#pragma once
// One HID device made through /dev/uhid: it exists while this object holds its descriptor, and goes away, as an
// unplugged USB device does, when the object is destroyed. Linux only.

#include <linux/uhid.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace sw::sim {

struct UhidIdentity {
    std::string name;
    std::string phys;  // like a USB interface's ("usb-.../input0"), so Wine gives the path its interface number
    std::string uniq;  // the serial number
    std::uint16_t bus = 0;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
};

class UhidDevice {
public:
    UhidDevice() = default;
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // Opens /dev/uhid and creates the device; false with errno set when either fails.
    bool create(const UhidIdentity& identity, std::span<const std::uint8_t> reportDescriptor);
    bool present() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // One input report as the device sends it: the data bytes, without a report ID.
    bool sendInput(std::span<const std::uint8_t> data);
    // The next event from the kernel, if one is waiting.
    std::optional<uhid_event> readEvent();
    // Feature and input reports asked for directly are not part of the box's protocol: refused at once, so the
    // asker does not wait for the kernel's time-out.
    void refuse(const uhid_event& request);

private:
    bool write(const uhid_event& event);

    int fd_ = -1;
};

}  // namespace sw::sim
