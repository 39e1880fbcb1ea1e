#include "sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <optional>
#include <vector>

#include "protocol/text_cells.h"

namespace sw::sim {
namespace {

constexpr std::string_view kUsage =
    "zel-ot40-sim: the simulated ZEL-OT40, on a named pipe (Windows) or through /dev/uhid (Linux)\n"
    "\n"
    "usage: zel-ot40-sim [options]\n"
    "\n"
    "  --pipe PATH            serve this pipe (default \\\\.\\pipe\\hid#vid_3c9b&pid_5d17#sim0)\n"
    "  --uhid                 be a USB HID device through /dev/uhid (Linux; needs root or access to /dev/uhid)\n"
    "  --port PORT, --serial S  with --uhid: the USB port and serial number the box reports (default: per run)\n"
    "  --keep-replies         with --uhid: a reply due while nobody has the device open waits for the next open,\n"
    "                         as a USB box keeps an unsent input report (default: it is lost)\n"
    "  --wire-log FILE        append each report taken off the wire to FILE: milliseconds, then the bytes\n"
    "  --input-length N       input report length in bytes, report ID included (default 65)\n"
    "  --output-length N      output report length in bytes, report ID included (default 65)\n"
    "  --signal-mode N        input signal mode 0..7 (default 3: 1280x720 progressive)\n"
    "  --pattern N            OSD pattern 1..4 (default 1)\n"
    "  --resolution WxH[i]    explicit input resolution, used with signal mode 0; i = interlaced\n"
    "  --answer-delay MS      time a query's reply takes (default 20)\n"
    "\n"
    "device state (default: position 100,50, size 1, halftone off, colours 15 and 12, row 1 \"ZEL-OT40\"):\n"
    "  --h N, --v N           position 0..4095\n"
    "  --size N               character size 1..4\n"
    "  --halftone on|off\n"
    "  --colour1 N, --colour2 N  palette index 0..15 of row 1 and row 2\n"
    "  --row1 HEX, --row2 HEX the row's cells as hexadecimal bytes, two per cell (e.g. 82608261 = \"AB\" in\n"
    "                         full width); at most 16 cells, the rest empty (0000 clears the row)\n"
    "\n"
    "faults:\n"
    "  --late                 answer queries after 800 ms, too late for the panel's read\n"
    "  --echo CODE            answer queries with this echo code (e.g. 0x31)\n"
    "  --drop                 never answer\n"
    "  --answer-settings      answer setting commands too, echoing their own code\n"
    "  --stall-from N         stop taking reports off the pipe from the Nth report on (1 = the first)\n"
    "  --unplug-after N       disappear after N reports (0 = absent from the start)\n"
    "  --no-faults            clear every fault: a device that was unplugged is plugged in again\n"
    "\n"
    "  --no-monitor           no monitor window: console only\n"
    "  --ignore-stdin         keep running when stdin closes (stop with Ctrl+C)\n"
    "  --help                 show this text\n"
    "\n"
    "Prints \"listening on <path>\" once the pipe exists (with --uhid \"plugged in\" once the HID device is\n"
    "up); runs until stdin closes, Ctrl+C or, with the monitor window \"ZEL-OT40 (simulated)\", until that\n"
    "window is closed. With --uhid each line on stdin is a set of the options above that changes the device\n"
    "while it runs (\"--unplug-after 0\" unplugs it, \"--no-faults\" plugs it in again); \"ok\" answers it.\n";

constexpr std::string_view kValueOptions[] = {
    "--pipe",     "--input-length", "--output-length", "--signal-mode", "--pattern", "--resolution", "--answer-delay",
    "--echo",     "--stall-from",   "--unplug-after",  "--wire-log",    "--h",       "--v",          "--size",
    "--halftone", "--colour1",      "--colour2",       "--row1",        "--row2",    "--port",       "--serial",
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

// "720x480" or "1920x1080i"; "none" leaves the signal mode alone to describe the signal.
bool parseResolution(std::string_view text, InputSignal& signal) {
    if (text == "none") {
        signal.explicitResolution = false;
        return true;
    }
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

SimOptionsResult parseSimOptions(std::span<const std::string_view> args, const SimOptions& base) {
    SimOptionsResult result;
    result.options = base;
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
        } else if (arg == "--uhid") {
            o.uhid = true;
        } else if (arg == "--keep-replies") {
            o.keepReplies = true;
        } else if (arg == "--no-faults") {
            o.faults = Faults{};
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
            } else if (arg == "--port" || arg == "--serial") {
                // The kernel keeps 64 bytes of each, terminator included.
                if (value.empty() || value.size() > 63)
                    return failure(bad);
                (arg == "--port" ? o.port : o.serial) = std::string(value);
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
            } else if (arg == "--wire-log") {
                if (value.empty())
                    return failure(bad);
                o.wireLogPath = std::string(value);
            } else if (arg == "--h" || arg == "--v") {
                auto n = number(4095);
                if (!n)
                    return failure(bad);
                (arg == "--h" ? o.settings.hPosition : o.settings.vPosition) = static_cast<std::uint16_t>(*n);
            } else if (arg == "--size") {
                auto n = number(4);
                if (!n || *n < 1)
                    return failure(bad);
                o.settings.sizeIndex = static_cast<std::uint8_t>(*n - 1);
            } else if (arg == "--halftone") {
                if (value != "on" && value != "off")
                    return failure(bad);
                o.settings.halftone = value == "on";
            } else if (arg == "--colour1" || arg == "--colour2") {
                auto n = number(15);
                if (!n)
                    return failure(bad);
                (arg == "--colour1" ? o.settings.colour1 : o.settings.colour2) = static_cast<std::uint8_t>(*n);
            } else if (arg == "--row1" || arg == "--row2") {
                const auto cells = protocol::cellsFromHex(value);
                if (!cells)
                    return failure(bad);
                (arg == "--row1" ? o.settings.row1 : o.settings.row2) = *cells;
            } else {
                return failure("unknown argument " + std::string(arg));
            }
        }
    }
    result.ok = true;
    return result;
}

void applySimOptions(const SimOptions& options, Ot40Model& model) {
    model.setSettings(options.settings);
    model.setReportLengths(options.inputReportLength, options.outputReportLength);
    model.setAnswerDelay(options.answerDelay);
    model.setSignal(options.signal);
    model.setFaults(options.faults);
}

bool applySimLine(std::string_view line, const SimOptions& startOptions, Ot40Model& model, std::string& error) {
    std::vector<std::string_view> words;
    for (std::size_t start = 0; start < line.size();) {
        const std::size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        if (end > start)
            words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    SimOptions now = startOptions;
    now.settings = model.settings();
    now.signal = model.signal();
    now.faults = model.faults();
    now.inputReportLength = model.inputReportLength();
    now.outputReportLength = model.outputReportLength();
    now.answerDelay = model.answerDelay();
    const SimOptionsResult parsed = parseSimOptions(words, now);
    if (!parsed.ok) {
        error = parsed.error;
        return false;
    }
    applySimOptions(parsed.options, model);
    return true;
}

std::string_view simUsageText() {
    return kUsage;
}

std::optional<int> takeProgramArguments(int argc, char** argv, SimOptions& options) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const SimOptionsResult parsed = parseSimOptions(args);
    if (!parsed.ok) {
        std::fprintf(stderr, "zel-ot40-sim: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.showHelp) {
        std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
        return 0;
    }
    options = parsed.options;
    return std::nullopt;
}

}  // namespace sw::sim
