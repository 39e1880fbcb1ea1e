#pragma once
// `send`: exactly the setting commands for the values given, in the panel's order, each a confirmed write.

#include <ostream>
#include <vector>

#include "cli/settings.h"
#include "device/device_link.h"

namespace sw::cli {

// The commands are already checked (planCommands); a device failure gives exit code 1.
int runSend(device::DeviceLink& link, const std::vector<PlannedCommand>& plan, std::ostream& out, std::ostream& err);

}  // namespace sw::cli
