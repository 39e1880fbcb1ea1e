#pragma once
// stampwright-cli run in-process against the simulated device on a virtual clock.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "sim/ot40_model.h"
#include "sim/sim_device_link.h"
#include "sim/virtual_clock.h"

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

struct CliBench {
    CliRun run(const std::vector<std::string>& args, bool errIsTerminal = false) {
        std::ostringstream out;
        std::ostringstream err;
        CliRun result;
        result.exitCode = cli::runCli(args, link, {out, err, errIsTerminal});
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    std::vector<int> wireCodes() const {
        std::vector<int> codes;
        for (const auto& entry : model.wireLog())
            codes.push_back(entry.bytes.size() > 1 ? entry.bytes[1] : -1);
        return codes;
    }

    void setFault(void (*change)(sim::Faults&)) {
        sim::Faults faults = model.faults();
        change(faults);
        model.setFaults(faults);
    }

    sim::VirtualClock clock;
    sim::Ot40Model model;
    sim::SimDeviceLink link{clock, model};
};

}  // namespace sw::test
