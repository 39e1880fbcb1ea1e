#pragma once
// Paints one frame of the monitor's picture view: the test pattern at the signal's aspect, letterboxed, and the
// OSD block over it as the device lays it out, clipped at the picture's edges.

#include <windows.h>

#include "sim/ot40_model.h"
#include "win32/gdi_objects.h"

namespace sw::sim {

// What the device puts on its output: its OSD settings over the picture of its input signal.
struct MonitorFrame {
    Ot40Settings settings;
    InputSignal signal;
    bool operator==(const MonitorFrame&) const = default;
};

// Draws the whole view into `buffer` (its full size is the view).
void paintMonitorFrame(win32::BackBuffer& buffer, const MonitorFrame& frame);

}  // namespace sw::sim
