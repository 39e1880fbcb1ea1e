#include "sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>

namespace sw::sim {
namespace {

constexpr std::string_view kUsage =
    "zel-ot40-sim: the simulated ZEL-OT40 serving a named pipe\n"
    "\n"
    "usage: zel-ot40-sim [options]\n"
    "\n"
    "  --pipe PATH            serve this pipe (default \\\\.\\pipe\\hid#vid_3c9b&pid_5d17#sim0)\n"
    "  --input-length N       input report length in bytes, report ID included (default 65)\n"
    "  --output-length N      output report length in bytes, report ID included (default 65)\n"
    "  --signal-mode N        input signal mode 0..7 (default 3: 1280x720 progressive)\n"
    "  --pattern N            OSD pattern 1..4 (default 1)\n"
    "  --resolution WxH[i]    explicit input resolution, used with signal mode 0; i = interlaced\n"
    "  --answer-delay MS      time a query's reply takes (default 20)\n"
    "\n"
    "faults:\n"
    "  --late                 answer queries after 800 ms, too late for the panel's read\n"
    "  --echo CODE            answer queries with this echo code (e.g. 0x31)\n"
    "  --drop                 never answer\n"
    "  --answer-settings      answer setting commands too, echoing their own code\n"
    "  --stall-from N         stop taking reports off the pipe from the Nth report on (1 = the first)\n"
    "  --unplug-after N       disappear after N reports (0 = absent from the start)\n"
    "\n"
    "  --no-monitor           no monitor window: console only\n"
    "  --ignore-stdin         keep running when stdin closes (stop with Ctrl+C)\n"
    "  --help                 show this text\n"
    "\n"
    "Prints \"listening on <path>\" once the pipe exists; runs until stdin closes, Ctrl+C or, with the\n"
    "monitor window \"ZEL-OT40 (simulated)\", until that window is closed.\n";

constexpr std::string_view kValueOptions[] = {
    "--pipe",       "--input-length", "--output-length", "--signal-mode", "--pattern",
    "--resolution", "--answer-delay", "--echo",          "--stall-from",  "--unplug-after",
};

// Decimal, or hexadecimal after "0x".
std::optional<unsigned long> parseNumber(std::string_view text, unsigned long max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    unsigned long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc{} || ptr != end || value > max)
        return std::nullopt;
    return value;
}

// "720x480" or "1920x1080i".
bool parseResolution(std::string_view text, InputSignal& signal) {
    bool interlaced = false;
    if (!text.empty() && text.back() == 'i') {
        interlaced = true;
        text.remove_suffix(1);
    }
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos)
        return false;
    auto width = parseNumber(text.substr(0, x), 4095);
    auto height = parseNumber(text.substr(x + 1), 4095);
    if (!width || !height)
        return false;
    signal.explicitResolution = true;
    signal.width = static_cast<std::uint16_t>(*width);
    signal.height = static_cast<std::uint16_t>(*height);
    signal.interlaced = interlaced;
    return true;
}

SimOptionsResult failure(std::string message) {
    SimOptionsResult r;
    r.error = std::move(message);
    return r;
}

}  // namespace

SimOptionsResult parseSimOptions(std::span<const std::string_view> args) {
    SimOptionsResult result;
    SimOptions& o = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        // Flags.
        if (arg == "--help" || arg == "-h") {
            o.showHelp = true;
        } else if (arg == "--ignore-stdin") {
            o.ignoreStdin = true;
        } else if (arg == "--no-monitor") {
            o.monitor = false;
        } else if (arg == "--late") {
            o.faults.answerLate = true;
        } else if (arg == "--drop") {
            o.faults.dropAnswers = true;
        } else if (arg == "--answer-settings") {
            o.faults.answerSettings = true;
        } else {
            // Options with a value.
            if (std::ranges::find(kValueOptions, arg) == std::end(kValueOptions))
                return failure("unknown argument " + std::string(arg));
            if (i + 1 >= args.size())
                return failure("missing value for " + std::string(arg));
            const std::string_view value = args[++i];
            const std::string bad = "bad value for " + std::string(arg) + ": " + std::string(value);
            auto number = [&](unsigned long max) { return parseNumber(value, max); };
            if (arg == "--pipe") {
                if (value.empty())
                    return failure(bad);
                o.pipePath = std::string(value);
            } else if (arg == "--input-length" || arg == "--output-length") {
                auto n = number(0xFFFF);
                if (!n)
                    return failure(bad);
                (arg == "--input-length" ? o.inputReportLength : o.outputReportLength) = static_cast<std::uint16_t>(*n);
            } else if (arg == "--signal-mode") {
                auto n = number(7);
                if (!n)
                    return failure(bad);
                o.signal.signalMode = static_cast<std::uint8_t>(*n);
            } else if (arg == "--pattern") {
                auto n = number(4);
                if (!n || *n < 1)
                    return failure(bad);
                o.signal.osdPattern = static_cast<int>(*n);
            } else if (arg == "--resolution") {
                if (!parseResolution(value, o.signal))
                    return failure(bad);
            } else if (arg == "--answer-delay") {
                auto n = number(60'000);
                if (!n)
                    return failure(bad);
                o.answerDelay = static_cast<Millis>(*n);
            } else if (arg == "--echo") {
                auto n = number(0xFF);
                if (!n)
                    return failure(bad);
                o.faults.echoCode = static_cast<std::uint8_t>(*n);
            } else if (arg == "--stall-from") {
                auto n = number(0xFFFFFFFF);
                if (!n || *n < 1)
                    return failure(bad);
                o.faults.stallFrom = static_cast<std::uint32_t>(*n);
            } else if (arg == "--unplug-after") {
                auto n = number(0xFFFFFFFF);
                if (!n)
                    return failure(bad);
                o.faults.unplugAfter = static_cast<std::uint32_t>(*n);
            } else {
                return failure("unknown argument " + std::string(arg));
            }
        }
    }
    result.ok = true;
    return result;
}

void applySimOptions(const SimOptions& options, Ot40Model& model) {
    model.setReportLengths(options.inputReportLength, options.outputReportLength);
    model.setAnswerDelay(options.answerDelay);
    model.setSignal(options.signal);
    model.setFaults(options.faults);
}

std::string_view simUsageText() {
    return kUsage;
}

}  // namespace sw::sim
