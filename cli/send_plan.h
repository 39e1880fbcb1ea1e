#pragma once
// Putting planned commands on the wire, for every front of the companion (`send` and `serve`): each a confirmed
// write in the plan's order, stopping at the first that fails.

#include <cstddef>
#include <string>
#include <vector>

#include "cli/settings.h"
#include "device/device_link.h"

namespace sw::cli {

// How many commands went out; all of the plan when none failed.
std::size_t writePlan(device::DeviceLink& link, const std::vector<PlannedCommand>& plan, std::uint16_t outputLength);

// The failure of command `written` (0-based) in words, with the panel's two meanings: nothing went out, or the
// device holds some of the new values.
std::string planFailure(const std::vector<PlannedCommand>& plan, std::size_t written);

}  // namespace sw::cli
