#include "cli/device_rows.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "cli/cp932_codec.h"
#include "cli/quoting.h"
#include "protocol/row_text.h"
#include "protocol/text_cells.h"
#include "protocol/unicode_text.h"

namespace sw::cli {

namespace {

using protocol::PieceText;
using protocol::TextPiece;

std::string codePointName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

// Names one character and says why it cannot reach the device as itself.
std::string whyNotAsItself(const TextPiece& piece) {
    // Where the row shows "?", the character given is named.
    const std::u32string& character = piece.unmappable ? piece.typed : piece.shown;
    const char32_t first = character.empty() ? 0 : character.front();
    const auto lead = piece.bytes.empty() ? 0 : static_cast<unsigned char>(piece.bytes.front());
    if (isControlCharacter(first))
        return joined({codePointName(first), " is a control character, which the device cannot show"});
    const std::string named = joined({"'", protocol::toUtf8(character), "' (", codePointName(first), ")"});
    if (piece.unmappable)
        return joined({named, " has no code page 932 form"});
    if (first == protocol::kNotACharacter)
        return joined({"the bytes ", hexEscaped(piece.bytes), " read from the device are no character"});
    if (lead >= 0xF0 && lead <= 0xFC)
        return joined({named, " is in code page 932's extension area (", hexEscaped(piece.bytes),
                       "), which the device shows as a space"});
    return joined({named, " cannot be shown by the device"});
}

// A row as read, and for each piece the device held the cell it came from, where it filled one cell by itself.
struct ReadRow {
    protocol::EditedRow row;
    std::vector<std::optional<std::size_t>> cellOf;  // per held piece
};

ReadRow readRow(const protocol::RowCells& cells) {
    std::array<std::uint8_t, 2 + protocol::kRowCellBytes> frame{};
    std::copy(cells.begin(), cells.end(), frame.begin() + 2);
    ReadRow read{protocol::rowFromDevice(protocol::decodeRowCells(frame), kCp932), {}};
    // Where each cell's bytes start and end in the row's text, as the text is read from the cells.
    std::vector<std::pair<std::size_t, std::size_t>> cellBytes;
    std::size_t at = 0;
    for (std::size_t k = 0; k < protocol::kRowCellCount; ++k) {
        std::array<std::uint8_t, 2 + protocol::kRowCellBytes> one{};
        one[2] = cells[2 * k];
        one[3] = cells[2 * k + 1];
        const std::size_t length = protocol::decodeRowCells(one).size();
        cellBytes.emplace_back(at, at + length);
        at += length;
    }
    at = 0;
    for (const TextPiece& piece : read.row.held) {
        const std::pair range(at, at + piece.bytes.size());
        const auto cell = std::find(cellBytes.begin(), cellBytes.end(), range);
        read.cellOf.push_back(cell != cellBytes.end() ? std::optional(std::size_t(cell - cellBytes.begin()))
                                                      : std::nullopt);
        at += piece.bytes.size();
    }
    return read;
}

// The cells for `pieces`: a piece that stands for a cell read from the device goes back as that cell; the others
// are encoded as typed, together, so that a half-width kana and its sound mark still make one cell.
std::optional<protocol::EncodedRow> encodePieces(const PieceText& pieces,
                                                 const protocol::RowCells* readCells,
                                                 const std::vector<std::optional<std::size_t>>& cellOf,
                                                 std::string& error) {
    const auto keptCell = [&](const TextPiece& piece) -> std::optional<std::size_t> {
        if (!readCells || !piece.held || *piece.held >= cellOf.size())
            return std::nullopt;
        return cellOf[*piece.held];
    };
    for (const TextPiece& piece : pieces) {
        if (!keptCell(piece) && protocol::firstPieceNotReachingDevice({piece})) {
            error = whyNotAsItself(piece);
            return std::nullopt;
        }
    }
    protocol::EncodedRow row;
    bool tooLong = false;
    const auto append = [&](const std::uint8_t* cell, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            if (row.length == row.bytes.size()) {
                tooLong = true;
                return;
            }
            row.bytes[row.length++] = cell[i];
        }
    };
    PieceText typed;
    const auto encodeTyped = [&] {
        const std::string bytes = protocol::joinBytes(typed);
        const protocol::EncodedRow cells =
            protocol::encodeRowText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        tooLong = tooLong || cells.truncated;
        append(cells.bytes.data(), cells.length);
        typed.clear();
    };
    for (const TextPiece& piece : pieces) {
        if (const auto cell = keptCell(piece)) {
            encodeTyped();
            append(readCells->data() + 2 * *cell, 2);
        } else {
            typed.push_back(piece);
        }
    }
    encodeTyped();
    if (tooLong) {
        error = "the text needs more than the row's 16 cells";
        return std::nullopt;
    }
    return row;
}

bool sameCells(const protocol::EncodedRow& row, const protocol::RowCells& cells) {
    return std::equal(row.bytes.begin(), row.bytes.end(), cells.begin());
}

}  // namespace

std::optional<protocol::EncodedRow> rowCells(const RowRequest& row, std::string& error) {
    const auto text = protocol::fromUtf8(row.text);
    if (!text) {
        error = joined({"the text ", quotedInput(row.text), " is not valid UTF-8"});
        return std::nullopt;
    }
    if (const auto missing = cp932ConverterMissing()) {
        error = *missing;
        return std::nullopt;
    }
    if (!row.readCells)
        return encodePieces(protocol::piecesFromTyping(*text, kCp932), nullptr, {}, error);

    ReadRow read = readRow(*row.readCells);
    if (protocol::joinShown(read.row.pieces) == *text) {
        protocol::EncodedRow same;
        std::copy(row.readCells->begin(), row.readCells->end(), same.bytes.begin());
        same.length = same.bytes.size();
        return same;
    }
    protocol::applyEdit(read.row, protocol::alignEdit(read.row, *text, kCp932));
    return encodePieces(read.row.pieces, &*row.readCells, read.cellOf, error);
}

RowRequest rowFromReply(const protocol::RowReply& reply) {
    RowRequest row{protocol::toUtf8(protocol::joinShown(protocol::piecesFromBytes(reply.text, kCp932))), {}};
    std::string ignored;
    const auto typed = rowCells(row, ignored);
    if (!typed || !sameCells(*typed, reply.cells))
        row.readCells = reply.cells;
    return row;
}

std::string printableRow(const protocol::RowReply& reply) {
    std::string text;
    for (const TextPiece& piece : protocol::piecesFromBytes(reply.text, kCp932)) {
        const char32_t c = piece.shown.front();
        if (c == protocol::kNotACharacter || c < 0x20)
            text += hexEscaped(piece.bytes);
        else if (c == U'\\')
            text += "\\\\";
        else
            text += protocol::toUtf8(piece.shown);
    }
    return text;
}

}  // namespace sw::cli
