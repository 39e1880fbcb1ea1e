#pragma once
// `read`: the panel's read-back pass, printed as text or written as a preset with everything the pass saw.

#include <ostream>
#include <string>

#include "device/box_lock.h"
#include "device/device_link.h"

namespace sw::cli {

struct ReadOptions {
    bool json = false;
    bool progress = false;  // "query k of 6" on `err` (only when it is a terminal)
    std::string device;     // a path, port or serial number; empty: the first ZEL-OT40
};

// Exit code: 0 when each query got its own answer, 1 when any did not (every such query is named on `err` and
// nothing goes to `out`: a partial preset would pass for the box's settings), 2 when the device asked for is no
// ZEL-OT40 that is present.
int runRead(device::DeviceLink& link,
            const device::BoxLocker& locker,
            const ReadOptions& options,
            std::ostream& out,
            std::ostream& err);

}  // namespace sw::cli
