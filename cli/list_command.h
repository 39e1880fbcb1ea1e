#pragma once
// `list`: every ZEL-OT40 interface present, in the system's order, with its report lengths.

#include <ostream>

#include "device/device_link.h"

namespace sw::cli {

int runList(device::DeviceLink& link, bool json, std::ostream& out, std::ostream& err);

}  // namespace sw::cli
