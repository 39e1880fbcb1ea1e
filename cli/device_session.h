#pragma once
// Finding and opening the ZEL-OT40 for one command, as the panel's connect does, with its failures in words.

#include <optional>
#include <ostream>
#include <string>

#include "device/device_link.h"
#include "device/query_exchange.h"

namespace sw::cli {

inline constexpr std::uint16_t kVendorId = 0x3C9B;
inline constexpr std::uint16_t kProductId = 0x5D17;
inline constexpr char kModelName[] = "ZEL-OT40";

// Closes the device when the command ends.
class OpenDevice {
public:
    OpenDevice(device::DeviceLink& link, device::ReportLengths lengths) : link_(link), lengths_(lengths) {}
    ~OpenDevice() { link_.Close(); }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

    device::DeviceLink& link() { return link_; }
    device::ReportLengths lengths() const { return lengths_; }

private:
    device::DeviceLink& link_;
    device::ReportLengths lengths_;
};

// Why the link's last Open failed, in words for a message (the remedy when access was refused).
std::string openFailureReason(const device::DeviceLink& link);

// The first matching interface, opened and measured; on failure the panel's connect message goes to `err`.
// `path` receives the interface's path when one was found.
bool connectDevice(device::DeviceLink& link, std::ostream& err, std::string& path, device::ReportLengths& lengths);

}  // namespace sw::cli
