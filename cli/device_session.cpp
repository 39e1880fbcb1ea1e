#include "cli/device_session.h"

namespace sw::cli {

bool connectDevice(device::DeviceLink& link, std::ostream& err, std::string& path, device::ReportLengths& lengths) {
    link.Close();
    if (!link.FindDevicePath(kVendorId, kProductId, path)) {
        err << "error: the " << kModelName << " was not found (no USB device " << std::hex << kVendorId << ":"
            << kProductId << std::dec << " is present)\n";
        return false;
    }
    if (!link.Open(path)) {
        err << "error: the " << kModelName << " was found, but connecting to it failed (" << path << ")\n";
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
