#pragma once
// The simulated ZEL-OT40 as a USB HID device through /dev/uhid, so that the kernel's hidraw, and anything built on
// it (stampwright-cli, Wine's HID stack), treat it as the real box. One thread: a poll() loop over the device, the
// console and the time the next reply is due. Linux only.

#include "sim/sim_options.h"

namespace sw::sim {

// Serves the device until stdin ends (unless the options ignore it) or SIGINT/SIGTERM; 0, or 1 when the device
// cannot be made. Prints what happens to the device on stdout, one line each, and answers each stdin line of
// options with "ok" or "error: ...".
int runUhidFront(const SimOptions& options);

}  // namespace sw::sim
