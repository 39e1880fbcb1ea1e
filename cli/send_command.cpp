#include "cli/send_command.h"

#include "cli/cli_app.h"
#include "cli/device_session.h"
#include "cli/send_plan.h"

namespace sw::cli {

int runSend(device::DeviceLink& link,
            const std::vector<PlannedCommand>& plan,
            std::string_view devicePath,
            std::ostream& out,
            std::ostream& err) {
    device::ReportLengths lengths;
    if (const int failed = openDevice(link, devicePath, err, lengths); failed != kExitOk)
        return failed;
    const OpenDevice device(link);

    const std::size_t written = writePlan(link, plan, lengths.output);
    if (written < plan.size()) {
        err << "error: " << planFailure(plan, written) << "\n";
        return kExitDeviceFailure;
    }
    out << "sent " << written << (written == 1 ? " command" : " commands") << "\n";
    return kExitOk;
}

}  // namespace sw::cli
