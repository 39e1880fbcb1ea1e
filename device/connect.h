#pragma once
// The connect steps that the panel and the companion share: find the box among the present HID interfaces, open it
// and learn its report lengths. Each program says in its own words where it stopped.

#include <cstdint>
#include <string>
#include <string_view>

#include "device/device_link.h"
#include "device/query_exchange.h"

namespace sw::device {

enum class ConnectOutcome {
    Connected,
    NotFound,             // no present interface with these IDs (or not the one asked for)
    OpenFailed,           // found, but it could not be opened
    ReportLengthsFailed,  // opened, but its report lengths could not be had: it stays open
};

struct Connection {
    ConnectOutcome outcome = ConnectOutcome::NotFound;
    std::string path;       // the interface found, also when it could not be opened
    ReportLengths lengths;  // when connected
};

// The first present interface with these IDs, in the system's order; with `wanted`, the one whose path, port or
// serial number it is (the path first: a name given whole is never taken for another box's port).
Connection connectDevice(DeviceLink& link,
                         std::uint16_t vendorId,
                         std::uint16_t productId,
                         std::string_view wanted = {});

// The two halves of connectDevice, for a program that takes the box's lock between them: the interface only
// (NotFound or a path), then opening it and learning its lengths.
Connection findBox(DeviceLink& link, std::uint16_t vendorId, std::uint16_t productId, std::string_view wanted = {});
void openBox(DeviceLink& link, Connection& connection);

}  // namespace sw::device
