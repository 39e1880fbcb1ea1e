#pragma once
// The monitor's own texts (UTF-16, for the wide window functions): the picture's format beside it, the signal
// list's entries and the status line. Portable, so the tests read them as the window shows them.

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/signal_format.h"
#include "sim/ot40_model.h"

namespace sw::sim {

// "720×480 p", "1920×1080 i", or "no signal" while the format is unresolved.
std::wstring formatLabel(const protocol::SignalFormat& format);
// Entry `choice` of the signal list: "No signal", "Mode 3: 1280×720 p", "Explicit resolution".
std::wstring signalChoiceLabel(int choice);

// What the status line tells about the device and its client.
struct LinkActivity {
    int connections = 0;                   // panel handles accepted since the start
    std::uint32_t reports = 0;             // reports taken off the wire
    std::optional<std::uint8_t> lastCode;  // byte 1 of the latest report that had one
    bool unplugged = false;
    bool writesStalled = false;
    bool operator==(const LinkActivity&) const = default;
};

// The command's name ("SetRow1", "QueryStatus"), or its hexadecimal code when the device does not know it.
std::wstring commandName(std::uint8_t code);
// "Connections: 2   Reports: 14   Last: 0x29 SetRow2", with "   (unplugged)" or "   (not taking reports)".
std::wstring statusLine(const LinkActivity& activity);

}  // namespace sw::sim
