#include "device/connect.h"

#include <algorithm>
#include <vector>

namespace sw::device {

Connection connectDevice(DeviceLink& link,
                         std::uint16_t vendorId,
                         std::uint16_t productId,
                         std::string_view wantedPath) {
    Connection connection;
    if (wantedPath.empty()) {
        if (!link.FindDevicePath(vendorId, productId, connection.path))
            return connection;
    } else {
        const std::vector<std::string> present = link.FindDevicePaths(vendorId, productId);
        if (std::find(present.begin(), present.end(), wantedPath) == present.end())
            return connection;
        connection.path = wantedPath;
    }
    if (!link.Open(connection.path)) {
        connection.outcome = ConnectOutcome::OpenFailed;
        return connection;
    }
    if (!link.GetReportLengths(&connection.lengths.input, &connection.lengths.output)) {
        connection.lengths = {};
        connection.outcome = ConnectOutcome::ReportLengthsFailed;
        return connection;
    }
    connection.outcome = ConnectOutcome::Connected;
    return connection;
}

}  // namespace sw::device
