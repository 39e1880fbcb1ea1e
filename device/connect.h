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

// The first present interface with these IDs, in the system's order; with `wantedPath`, that interface, if it is
// one of them.
Connection connectDevice(DeviceLink& link,
                         std::uint16_t vendorId,
                         std::uint16_t productId,
                         std::string_view wantedPath = {});

}  // namespace sw::device
