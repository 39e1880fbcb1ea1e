#include "cli/send_command.h"

#include "cli/cli_app.h"
#include "cli/device_session.h"
#include "cli/quoting.h"
#include "device/query_exchange.h"

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

    std::size_t written = 0;
    for (const PlannedCommand& command : plan) {
        if (!device::writeSettingCommand(link, command.command, command.value(), outputLength,
                                         device::kSendWriteWaitMs)) {
            // The panel's two meanings: nothing went out, or the device holds some of the new values.
            err << kErrorPrefix << "sending " << commandLabel(command.command) << " (command " << written + 1 << " of "
                << plan.size() << ") failed: ";
            if (written == 0)
                err << "nothing was sent; reconnect the device\n";
            else
                err << "the box may hold the " << written << " sent before it; check it and send again\n";
            return kExitDeviceFailure;
        }
        ++written;
    }
    out << "sent " << written << (written == 1 ? " command" : " commands") << "\n";
    return kExitOk;
}

}  // namespace sw::cli
