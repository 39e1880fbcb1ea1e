#include "cli/send_plan.h"

#include "cli/quoting.h"
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
    // The panel's two meanings: nothing went out, or the device holds some of the new values.
    return joined({"sending ", commandLabel(plan[written].command), " (command ", std::to_string(written + 1), " of ",
                   std::to_string(plan.size()), ") failed: ",
                   written == 0 ? std::string("nothing was sent; reconnect the device")
                                : joined({"the box may hold the ", std::to_string(written),
                                          " sent before it; check it and send again"})});
}

}  // namespace sw::cli
