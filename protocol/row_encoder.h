#pragma once
// Typed Shift-JIS text to device cells: every character becomes one full-width cell.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/command_codes.h"

namespace sw::protocol {

using CellBytes = std::array<std::uint8_t, 2>;

extern const std::array<CellBytes, 95> FullwidthAsciiTable;  // input 0x20..0x7E
extern const std::array<CellBytes, 64> HalfwidthKanaTable;   // input 0xA0..0xDF

struct VoicedKana {
    std::uint8_t kana;
    std::uint8_t mark;
    CellBytes cell;
};
extern const std::array<VoicedKana, 26> VoicedKanaTable;

struct EncodedRow {
    std::array<std::uint8_t, kRowCellBytes> bytes{};
    std::size_t length = 0;  // in bytes, always even, at most 32
    bool truncated = false;  // the text needed more than 16 cells: the rest was dropped
};

// The text ends at its first zero byte or at the end of the span, whichever comes first; nothing past either
// is read. At most 16 cells are produced: text beyond the 16th cell is dropped.
EncodedRow encodeRowText(std::span<const std::uint8_t> text);

// Whether the row encoding gives one code page 932 character (its bytes) a cell that shows it: false for what it
// blanks or drops (the user-defined and extension area, control bytes, bytes that are no character).
bool rowEncodingKeeps(std::string_view character);

}  // namespace sw::protocol
