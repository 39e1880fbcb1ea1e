#pragma once
// Received text cells: a row reply's bytes 2..33 as Shift-JIS text, and how many cell positions the row uses.

#include <cstdint>
#include <span>
#include <string>

namespace sw::protocol {

// Both take the whole row reply; a reply shorter than 34 bytes gives "" / 0 (the decoder never gets there).
// A cell with a lead byte (0x80..0xFF) and a zero second byte adds nothing: a zero byte would cut the row's
// text short wherever it is shown.
std::string decodeRowCells(std::span<const std::uint8_t> reply);
int countRowCells(std::span<const std::uint8_t> reply);

// The multi-line display of both rows: row 2 brings the "\r\n" in front of its text.
void appendToCombinedText(std::string& combinedText, int row, const std::string& rowText);

}  // namespace sw::protocol
