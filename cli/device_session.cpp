#include "cli/device_session.h"

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
        return std::string("access was refused: ") + kAccessRemedy;
    return "it is gone, or held by another program";
}

bool connectDevice(device::DeviceLink& link, std::ostream& err, std::string& path, device::ReportLengths& lengths) {
    link.Close();
    if (!link.FindDevicePath(kVendorId, kProductId, path)) {
        err << "error: the " << kModelName << " was not found (no USB device " << std::hex << kVendorId << ":"
            << kProductId << std::dec << " is present)\n";
        return false;
    }
    if (!link.Open(path)) {
        err << "error: the " << kModelName << " was found, but connecting to it failed (" << path
            << "): " << openFailureReason(link) << "\n";
        return false;
    }
    if (!link.GetReportLengths(&lengths.input, &lengths.output)) {
        link.Close();
        err << "error: connected to the " << kModelName << ", but getting the report size failed\n";
        return false;
    }
    return true;
}

}  // namespace sw::cli
