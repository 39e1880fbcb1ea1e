#include "cli/send_command.h"

#include "cli/device_session.h"
#include "device/query_exchange.h"

namespace sw::cli {

int runSend(device::DeviceLink& link, const std::vector<PlannedCommand>& plan, std::ostream& out, std::ostream& err) {
    std::string path;
    device::ReportLengths lengths;
    if (!connectDevice(link, err, path, lengths))
        return 1;
    OpenDevice device(link, lengths);

    std::size_t written = 0;
    for (const PlannedCommand& command : plan) {
        if (!device::writeSettingCommand(link, command.command, command.value(), lengths.output,
                                         device::kSendWriteWaitMs)) {
            // The panel's two meanings: nothing went out, or the device holds some of the new values.
            err << "error: sending " << commandLabel(command.command) << " (command " << written + 1 << " of "
                << plan.size() << ") failed; "
                << (written == 0 ? "sending failed, reconnect the device" : "sending may have failed, check the device")
                << "\n";
            return 1;
        }
        ++written;
    }
    out << "sent " << written << (written == 1 ? " command" : " commands") << "\n";
    return 0;
}

}  // namespace sw::cli
