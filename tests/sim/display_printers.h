#pragma once
// Readable failure messages for the monitor's geometry types.

#include <ostream>

#include "sim/osd_layout.h"

namespace sw::sim {

inline void PrintTo(const PixelRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

}  // namespace sw::sim
