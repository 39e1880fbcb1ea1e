#pragma once
// The simulator program's command line: what device to simulate, where to serve it, and which faults to show.
// Portable, so the parsing is tested natively and every simulator front shares it.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "sim/ot40_model.h"

namespace sw::sim {

inline constexpr const char* kDefaultPipePath = "\\\\.\\pipe\\hid#vid_3c9b&pid_5d17#sim0";

struct SimOptions {
    bool showHelp = false;
    bool ignoreStdin = false;  // run until interrupted, also when stdin is closed or empty
    bool monitor = true;       // show the monitor window (Windows front only)
    std::string pipePath = kDefaultPipePath;
    std::uint16_t inputReportLength = kDefaultReportLength;
    std::uint16_t outputReportLength = kDefaultReportLength;
    Millis answerDelay = kDefaultAnswerDelayMs;
    InputSignal signal;
    Faults faults;
};

struct SimOptionsResult {
    bool ok = false;
    SimOptions options;
    std::string error;  // one line naming the offending argument when !ok
};

// `args` excludes the program name.
SimOptionsResult parseSimOptions(std::span<const std::string_view> args);

// Gives the model the lengths, timing, signal and faults of the options.
void applySimOptions(const SimOptions& options, Ot40Model& model);

std::string_view simUsageText();

}  // namespace sw::sim
