#pragma once
// Received text cells: a row reply's bytes 2..33 as Shift-JIS text, and how many cell positions the row uses.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "protocol/command_codes.h"

namespace sw::protocol {

// Both take the whole row reply; a reply shorter than 34 bytes gives "" / 0 (the decoder never gets there).
// A cell with a lead byte (0x80..0xFF) and a zero second byte adds nothing: a zero byte would cut the row's
// text short wherever it is shown.
std::string decodeRowCells(std::span<const std::uint8_t> reply);
int countRowCells(std::span<const std::uint8_t> reply);

// The multi-line display of both rows: row 2 brings the "\r\n" in front of its text.
void appendToCombinedText(std::string& combinedText, int row, const std::string& rowText);

// A row's cells as hexadecimal digits, two to a byte (how the simulator's options and a preset write them): whole
// cells, at most 16; the cells after them are empty. None for anything else.
std::optional<RowCells> cellsFromHex(std::string_view digits);
std::string cellsToHex(const RowCells& cells);

}  // namespace sw::protocol
