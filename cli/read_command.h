#pragma once
// `read`: the panel's read-back pass, printed as text or written as a preset with everything the pass saw.

#include <ostream>
#include <string>

#include "device/device_link.h"

namespace sw::cli {

struct ReadOptions {
    bool json = false;
    bool progress = false;   // "query k of 6" on `err` (only when it is a terminal)
    std::string devicePath;  // empty: the first ZEL-OT40
};

// Exit code: 0 when every query was answered, 1 when any failed (what did arrive is still printed), 2 when the
// device asked for is no ZEL-OT40 interface that is present.
int runRead(device::DeviceLink& link, const ReadOptions& options, std::ostream& out, std::ostream& err);

}  // namespace sw::cli
