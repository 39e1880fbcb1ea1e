// zel-ot40-sim on Linux: the simulated ZEL-OT40 as a USB HID device through /dev/uhid, so that stampwright-cli (and
// Wine's HID stack) can be tried and tested without the box.

#include <cstdio>

#include "sim/sim_options.h"
#include "sim/uhid_front.h"

int main(int argc, char** argv) {
    sw::sim::SimOptions options;
    if (const auto exitCode = sw::sim::takeProgramArguments(argc, argv, options))
        return *exitCode;
    if (!options.uhid) {
        std::fprintf(stderr,
                     "zel-ot40-sim: on Linux the simulated box is a HID device through /dev/uhid: give --uhid\n");
        return 2;
    }
    return sw::sim::runUhidFront(options);
}
