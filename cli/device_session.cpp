#include "cli/device_session.h"

#include "cli/cli_app.h"
#include "cli/quoting.h"
#include "device/connect.h"
#include "protocol/product.h"

namespace sw::cli {

namespace {

// What a user can do about a node the system refused to open.
#ifdef _WIN32
constexpr char kAccessRemedy[] = "another program may hold it exclusively";
#else
constexpr char kAccessRemedy[] =
    "install the udev rule 70-stampwright.rules (README, \"From scripts\") and replug the device, or run as root";
#endif

}  // namespace

std::string openFailureReason(const device::DeviceLink& link) {
    if (link.LastOpenFailure() == device::OpenFailure::AccessDenied)
        return joined({"access was refused: ", kAccessRemedy});
    return "it is gone, or held by another program";
}

int openDevice(device::DeviceLink& link,
               std::string_view wantedPath,
               std::ostream& err,
               device::ReportLengths& lengths) {
    using protocol::kModelName;
    const device::Connection connection =
        device::connectDevice(link, protocol::kVendorId, protocol::kProductId, wantedPath);
    switch (connection.outcome) {
        case device::ConnectOutcome::Connected:
            lengths = connection.lengths;
            return kExitOk;
        case device::ConnectOutcome::NotFound:
            if (!wantedPath.empty()) {
                err << "error: --device " << quotedInput(wantedPath) << " is not a " << kModelName
                    << " interface that is present (stampwright-cli list shows them)\n";
                return kExitBadInput;
            }
            err << "error: the " << kModelName << " was not found (no USB device " << std::hex << protocol::kVendorId
                << ":" << protocol::kProductId << std::dec << " is present)\n";
            return kExitDeviceFailure;
        case device::ConnectOutcome::OpenFailed:
            err << "error: the " << kModelName << " was found, but connecting to it failed (" << connection.path
                << "): " << openFailureReason(link) << "\n";
            return kExitDeviceFailure;
        case device::ConnectOutcome::ReportLengthsFailed:
            link.Close();
            err << "error: connected to the " << kModelName << ", but getting the report size failed\n";
            return kExitDeviceFailure;
    }
    return kExitDeviceFailure;
}

}  // namespace sw::cli
