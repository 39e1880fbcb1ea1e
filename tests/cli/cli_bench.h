#pragma once
// stampwright-cli run in-process against the simulated device on a virtual clock.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_app.h"
#include "sim/ot40_model.h"
#include "sim/sim_device_link.h"
#include "sim/virtual_clock.h"
#include "tests/panel/box_lock_double.h"

namespace sw::test {

// UTF-8 text from a u8 literal (narrow literals of this build are code page 932).
inline std::string utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Sixteen copies of one byte in hex, as a colour command carries its index.
inline std::string sixteen(const char* hexByte) {
    std::string text;
    for (int i = 0; i < 16; ++i)
        text += hexByte;
    return text;
}

struct CliBench {
    CliRun run(const std::vector<std::string>& args, bool errIsTerminal = false) {
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in(stdinText);
        CliRun result;
        result.exitCode = cli::runCli(args, link, {out, err, errIsTerminal, &in}, boxLock.locker());
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    // A file of the test's own with `bytes` in it, removed when the bench goes.
    std::string writeFile(const std::string& name, std::string_view bytes) {
        const auto path =
            std::filesystem::temp_directory_path() / ("sw-cli-" + std::to_string(::getpid()) + "-" + name);
        std::ofstream(path, std::ios::binary) << bytes;
        files.push_back(path);
        return path.string();
    }
    ~CliBench() {
        for (const auto& file : files)
            std::filesystem::remove(file);
    }
    std::vector<std::filesystem::path> files;

    // Each command as "code:payload" in hex, the payload up to its last non-zero byte ("20:0064" for H 100), so
    // that a table checks the values that went out, not only which commands.
    std::vector<std::string> wireCommands() const {
        std::vector<std::string> commands;
        static constexpr char kDigits[] = "0123456789ABCDEF";
        for (const auto& entry : model.wireLog()) {
            std::string text;
            std::size_t end = entry.bytes.size();
            while (end > 2 && entry.bytes[end - 1] == 0)
                --end;
            for (std::size_t i = 1; i < end; ++i) {
                text += kDigits[entry.bytes[i] >> 4];
                text += kDigits[entry.bytes[i] & 0x0F];
                if (i == 1)
                    text += ':';
            }
            commands.push_back(text);
        }
        return commands;
    }

    std::vector<int> wireCodes() const {
        std::vector<int> codes;
        for (const auto& entry : model.wireLog())
            codes.push_back(entry.bytes.size() > 1 ? entry.bytes[1] : -1);
        return codes;
    }

    std::string stdinText;

    void setFault(void (*change)(sim::Faults&)) {
        sim::Faults faults = model.faults();
        change(faults);
        model.setFaults(faults);
    }

    sim::VirtualClock clock;
    sim::Ot40Model model;
    sim::SimDeviceLink link{clock, model};
    BoxLockDouble boxLock{clock, link};
};

}  // namespace sw::test
