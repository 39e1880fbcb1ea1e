#pragma once
// `send`: exactly the setting commands for the values given, in the panel's order, each a confirmed write.

#include <ostream>
#include <string_view>
#include <vector>

#include "cli/settings.h"
#include "device/device_link.h"

namespace sw::cli {

// The commands are already checked (planCommands). Exit code 1 for a device failure, 2 when `devicePath` is no
// ZEL-OT40 interface that is present.
int runSend(device::DeviceLink& link,
            const std::vector<PlannedCommand>& plan,
            std::string_view devicePath,
            std::ostream& out,
            std::ostream& err);

}  // namespace sw::cli
