#pragma once
// The two text rows between the command line (UTF-8) and the device's cells, by the text rule the panel uses:
// nothing reaches the device other than as itself, and a row read back goes back as the cells it was read as.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/command_codes.h"
#include "protocol/reply_decoder.h"
#include "protocol/row_encoder.h"

namespace sw::cli {

// A row as a script gives it: its text and, when it comes from a read, the cells it was read as.
struct RowRequest {
    std::string text;  // UTF-8
    std::optional<protocol::RowCells> readCells;
    bool operator==(const RowRequest&) const = default;
};

// The cells the device gets, or none with `error` naming the first character that cannot reach it as itself
// (a character code page 932 lacks, one the device would show as a space or not at all, a control character).
// Unchanged text with read cells gives back those very cells; changed, every character the device held keeps the
// cell it was read from (also where it stands again after the change) and only what is new is converted.
std::optional<protocol::EncodedRow> rowCells(const RowRequest& row, std::string& error);

// A row as read: its text (U+FFFD for cells that are no text) and, where the text alone would not give back the
// same cells, those cells.
RowRequest rowFromReply(const protocol::RowReply& reply);

// The row for a reader: cells that are no text, control characters and backslashes as escapes ("\x81\x20", "\\").
std::string printableRow(const protocol::RowReply& reply);

}  // namespace sw::cli
