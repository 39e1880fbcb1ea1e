// zel-ot40-sim on Linux: the simulated ZEL-OT40 as a USB HID device through /dev/uhid, so that stampwright-cli (and
// Wine's HID stack) can be tried and tested without the box.

#include <cstdio>
#include <string_view>
#include <vector>

#include "sim/sim_options.h"
#include "sim/uhid_front.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const sw::sim::SimOptionsResult parsed = sw::sim::parseSimOptions(args);
    if (!parsed.ok) {
        std::fprintf(stderr, "zel-ot40-sim: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.showHelp) {
        const std::string_view usage = sw::sim::simUsageText();
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        return 0;
    }
    if (!parsed.options.uhid) {
        std::fprintf(stderr,
                     "zel-ot40-sim: on Linux the simulated box is a HID device through /dev/uhid: give --uhid\n");
        return 2;
    }
    return sw::sim::runUhidFront(parsed.options);
}
