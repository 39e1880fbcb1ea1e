#include "device/connect.h"

#include <vector>

namespace sw::device {

Connection findBox(DeviceLink& link, std::uint16_t vendorId, std::uint16_t productId, std::string_view wanted) {
    Connection connection;
    if (wanted.empty()) {
        link.FindDevicePath(vendorId, productId, connection.path);
        return connection;
    }
    const std::vector<BoxInfo> present = link.FindBoxes(vendorId, productId);
    for (const auto field : {&BoxInfo::path, &BoxInfo::port, &BoxInfo::serial}) {
        for (const BoxInfo& box : present) {
            if (!(box.*field).empty() && box.*field == wanted) {
                connection.path = box.path;
                return connection;
            }
        }
    }
    return connection;
}

void openBox(DeviceLink& link, Connection& connection) {
    if (connection.path.empty()) {
        connection.outcome = ConnectOutcome::NotFound;
        return;
    }
    if (!link.Open(connection.path)) {
        connection.outcome = ConnectOutcome::OpenFailed;
        return;
    }
    if (!link.GetReportLengths(&connection.lengths.input, &connection.lengths.output)) {
        connection.lengths = {};
        connection.outcome = ConnectOutcome::ReportLengthsFailed;
        return;
    }
    connection.outcome = ConnectOutcome::Connected;
}

Connection connectDevice(DeviceLink& link, std::uint16_t vendorId, std::uint16_t productId, std::string_view wanted) {
    Connection connection = findBox(link, vendorId, productId, wanted);
    openBox(link, connection);
    return connection;
}

}  // namespace sw::device
