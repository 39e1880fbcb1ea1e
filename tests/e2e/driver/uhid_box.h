#pragma once
// The box of a real-stack run: `zel-ot40-sim --uhid` outside Wine, which Wine's own HID stack finds through the
// kernel's hidraw. The runner names it in SW_E2E_BOX, a Unix path of three files: <box>.in, the FIFO on the box's
// stdin that takes lines of simulator options; <box>.out, its stdout, with "ok" for each line and "opened" for
// each open of its node; and <box>.wire, its wire log.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "sim/ot40_model.h"

namespace sw::e2e {

class UhidBox {
public:
    // The box that SW_E2E_BOX names; none without it (the doubles and the hosted device serve the panel then).
    static std::optional<UhidBox> fromEnvironment();

    // Hands the box a line of options and waits until it has taken it.
    bool apply(const std::string& optionsLine);
    // Every report the box has taken off its wire since it was made.
    std::vector<sim::WireEntry> wireLog() const;

private:
    explicit UhidBox(const std::string& unixPath);
    std::size_t answers() const;

    std::string in_;
    std::string out_;
    std::string wire_;
};

// The options that give the simulator these settings or this signal.
std::string optionsLine(const sim::Ot40Settings& settings);
std::string optionsLine(const sim::InputSignal& signal);

}  // namespace sw::e2e
