#include "cli/send_command.h"

#include "cli/cli_app.h"
#include "cli/device_session.h"
#include "cli/quoting.h"
#include "cli/send_plan.h"

namespace sw::cli {

int runSend(device::DeviceLink& link,
            const device::BoxLocker& locker,
            const std::vector<PlannedCommand>& plan,
            std::string_view device,
            std::ostream& out,
            std::ostream& err) {
    BoxSession session(link, locker);
    if (const int failed = session.open(device, err); failed != kExitOk)
        return failed;
    const std::uint16_t outputLength = session.lengths().output;

    const std::size_t written = writePlan(link, plan, outputLength);
    if (written < plan.size()) {
        err << kErrorPrefix << planFailure(plan, written) << "\n";
        return kExitDeviceFailure;
    }
    out << "sent " << written << (written == 1 ? " command" : " commands") << "\n";
    return kExitOk;
}

}  // namespace sw::cli
