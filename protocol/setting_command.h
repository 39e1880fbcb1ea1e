#pragma once
// The eight setting commands and the value rules that need no window.

#include <cstdint>
#include <span>

#include "protocol/command_codes.h"
#include "protocol/product.h"

namespace sw::protocol {

// The value read off the dialog: `number` for positions, size index, halftone (0/1) and colour index (low 8
// bits are sent); `cells` (from encodeRowText, at most 32 bytes) for the two rows.
struct SettingValue {
    std::uint16_t number = 0;
    std::span<const std::uint8_t> cells = {};
};

// Writes bytes 1..64 of `report` (code, payload, zeros); bytes past 64 are never touched. Returns false and
// writes nothing when the report is shorter than kCommandFrameLength.
bool buildSettingCommand(SettingCommand command, const SettingValue& value, std::span<std::uint8_t> report);

// Positions go out as 0..2047.
constexpr std::uint16_t clampPosition(unsigned value) {
    return value >= kMaxPosition ? kMaxPosition : static_cast<std::uint16_t>(value);
}

}  // namespace sw::protocol
