#pragma once
// `read`: the panel's six-query read-back, printed as text or written as a preset.

#include <ostream>

#include "device/device_link.h"

namespace sw::cli {

struct ReadOptions {
    bool json = false;
    bool progress = false;  // "query k of 6" on `err` (only when it is a terminal)
};

// Exit code: 0 when every query was answered, 1 when any failed (what did arrive is still printed).
int runRead(device::DeviceLink& link, const ReadOptions& options, std::ostream& out, std::ostream& err);

}  // namespace sw::cli
