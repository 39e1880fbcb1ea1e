#pragma once
// The simulator program's command line: what device to simulate, where to serve it, and which faults to show. The
// same options, given as a line on the running simulator's standard input, change the device while it runs.
// Portable, so the parsing is tested natively and every simulator front shares it.

#include <cstdint>
#include <optional>
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
    bool uhid = false;         // be a HID device through /dev/uhid (Linux front only)
    bool keepReplies = false;  // keep an unsent reply across close and reopen, as a USB box does (uhid front only)
    std::string pipePath = kDefaultPipePath;
    std::string port;    // --uhid: where the box says it is plugged in (its HID phys without "/input0"); none: per run
    std::string serial;  // --uhid: its serial number; none: one per run
    std::string wireLogPath;  // append every report taken off the wire to this file; none when empty
    std::uint16_t inputReportLength = kDefaultReportLength;
    std::uint16_t outputReportLength = kDefaultReportLength;
    Millis answerDelay = kDefaultAnswerDelayMs;
    Ot40Settings settings = defaultSettings();
    InputSignal signal;
    Faults faults;
};

struct SimOptionsResult {
    bool ok = false;
    SimOptions options;
    std::string error;  // one line naming the offending argument when !ok
};

// `args` excludes the program name; what they do not name keeps its value from `base`.
SimOptionsResult parseSimOptions(std::span<const std::string_view> args, const SimOptions& base = {});

// Gives the model the lengths, timing, settings, signal and faults of the options.
void applySimOptions(const SimOptions& options, Ot40Model& model);

// One line of options for the running device: what it names changes, everything else stays as the device has it
// now (settings the panel sent included). False with `error` for a line that does not parse; nothing changes then.
bool applySimLine(std::string_view line, const SimOptions& startOptions, Ot40Model& model, std::string& error);

std::string_view simUsageText();

// A simulator program's start: parses its arguments into `options`, or prints the usage (--help) or what is wrong
// with them. The program's exit code when it is to end at once.
std::optional<int> takeProgramArguments(int argc, char** argv, SimOptions& options);

}  // namespace sw::sim
