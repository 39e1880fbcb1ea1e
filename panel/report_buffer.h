#pragma once
// The panel's flows take their report buffers from the device layer, which the command-line companion shares.

#include "device/report_buffer.h"

namespace sw::panel {

using device::ReportBuffer;

}  // namespace sw::panel
