#include "cli/send_plan.h"

#include "device/query_exchange.h"

namespace sw::cli {

std::size_t writePlan(device::DeviceLink& link, const std::vector<PlannedCommand>& plan, std::uint16_t outputLength) {
    std::size_t written = 0;
    for (const PlannedCommand& command : plan) {
        if (!device::writeSettingCommand(link, command.command, command.value(), outputLength,
                                         device::kSendWriteWaitMs))
            break;
        ++written;
    }
    return written;
}

std::string planFailure(const std::vector<PlannedCommand>& plan, std::size_t written) {
    return joined(
        {"sending ", commandLabel(plan[written].command), " (command ", std::to_string(written + 1), " of ",
         std::to_string(plan.size()), ") failed; ",
         written == 0 ? "sending failed, reconnect the device" : "sending may have failed, check the device"});
}

}  // namespace sw::cli
