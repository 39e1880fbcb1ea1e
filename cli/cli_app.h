#pragma once
// stampwright-cli's whole behaviour over any DeviceLink and any streams: the exe's main only supplies the
// platform's link, its UTF-8 arguments and its console.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "device/box_lock.h"
#include "device/device_link.h"

namespace sw::cli {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDeviceFailure = 1;
inline constexpr int kExitBadInput = 2;

struct CliStreams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;  // progress is shown only on a terminal
    std::istream* in = nullptr;  // `--preset -`; none: standard input is not offered
};

// `args` are the arguments after the program name, UTF-8. `locker` takes the box's lock around each conversation.
int runCli(const std::vector<std::string>& args,
           device::DeviceLink& link,
           CliStreams streams,
           const device::BoxLocker& locker = device::BoxLock::acquire);

}  // namespace sw::cli
