#pragma once
// `send`: exactly the setting commands for the values given, in the panel's order, each a confirmed write.

#include <ostream>
#include <string_view>
#include <vector>

#include "cli/settings.h"
#include "device/box_lock.h"
#include "device/device_link.h"

namespace sw::cli {

// The commands are already checked (planCommands). Exit code 1 for a device failure, 2 when `device` (a path, port
// or serial number) names no ZEL-OT40 that is present.
int runSend(device::DeviceLink& link,
            const device::BoxLocker& locker,
            const std::vector<PlannedCommand>& plan,
            std::string_view device,
            std::ostream& out,
            std::ostream& err);

}  // namespace sw::cli
