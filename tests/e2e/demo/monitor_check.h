#pragma once
// Checks the monitor's picture on the screen: the first OSD row's cells hold pixels in the row's colour and
// nothing but those and the test pattern, and the picture outside the OSD block is the test pattern.

#include <string>
#include <vector>

#include "protocol/signal_format.h"
#include "sim/osd_layout.h"
#include "sim/ot40_model.h"
#include "tests/e2e/driver/screen_pixels.h"

namespace sw::demo {

struct MonitorCheck {
    std::vector<std::string> failures;  // empty when the picture is as expected
    std::vector<std::string> findings;  // what was counted, for the log
    bool passed() const { return failures.empty(); }
};

// `screen` is the whole screen; `view` is the picture view's client area in screen pixels; `settings` what the panel
// sent; `format` the picture's resolution as the monitor states it.
MonitorCheck checkMonitorPicture(const e2e::ClientImage& screen,
                                 const sim::PixelRect& view,
                                 const protocol::SignalFormat& format,
                                 const sim::Ot40Settings& settings);

}  // namespace sw::demo
