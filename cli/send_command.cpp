#include "cli/send_command.h"

#include "cli/cli_app.h"
#include "cli/device_session.h"
#include "device/query_exchange.h"

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

    std::size_t written = 0;
    for (const PlannedCommand& command : plan) {
        if (!device::writeSettingCommand(link, command.command, command.value(), lengths.output,
                                         device::kSendWriteWaitMs)) {
            // The panel's two meanings: nothing went out, or the device holds some of the new values.
            err << "error: sending " << commandLabel(command.command) << " (command " << written + 1 << " of "
                << plan.size() << ") failed; "
                << (written == 0 ? "sending failed, reconnect the device" : "sending may have failed, check the device")
                << "\n";
            return kExitDeviceFailure;
        }
        ++written;
    }
    out << "sent " << written << (written == 1 ? " command" : " commands") << "\n";
    return kExitOk;
}

}  // namespace sw::cli
