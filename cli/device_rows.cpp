#include "cli/device_rows.h"

#include <cstdio>

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
    const char32_t first = piece.shown.empty() ? 0 : piece.shown.front();
    const auto lead = piece.bytes.empty() ? 0 : static_cast<unsigned char>(piece.bytes.front());
    if (isControlCharacter(first))
        return joined({codePointName(first), " is a control character, which the device cannot show"});
    const std::string named = joined({"'", protocol::toUtf8(piece.shown), "' (", codePointName(first), ")"});
    if (piece.unmappable)
        return joined({named, " has no code page 932 form"});
    if (first == protocol::kNotACharacter)
        return joined({"the bytes ", hexEscaped(piece.bytes), " read from the device are no character"});
    if (lead >= 0xF0 && lead <= 0xFC)
        return joined({named, " is in code page 932's extension area (", hexEscaped(piece.bytes),
                       "), which the device shows as a space"});
    return joined({named, " cannot be shown by the device"});
}

std::optional<protocol::EncodedRow> encodePieces(const PieceText& pieces, std::string& error) {
    if (const auto bad = protocol::firstPieceNotReachingDevice(pieces)) {
        error = whyNotAsItself(pieces[*bad]);
        return std::nullopt;
    }
    const std::string bytes = protocol::joinBytes(pieces);
    const protocol::EncodedRow row =
        protocol::encodeRowText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    if (row.truncated) {
        error = "the text needs more than the row's 16 cells";
        return std::nullopt;
    }
    return row;
}

PieceText readPieces(const protocol::RowCells& cells) {
    std::array<std::uint8_t, 2 + protocol::kRowCellBytes> frame{};
    std::copy(cells.begin(), cells.end(), frame.begin() + 2);
    return protocol::piecesFromBytes(protocol::decodeRowCells(frame), kCp932);
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
    if (!row.readCells)
        return encodePieces(protocol::piecesFromTyping(*text, kCp932), error);

    const PieceText before = readPieces(*row.readCells);
    if (protocol::joinShown(before) == *text) {
        protocol::EncodedRow same;
        std::copy(row.readCells->begin(), row.readCells->end(), same.bytes.begin());
        same.length = same.bytes.size();
        return same;
    }
    return encodePieces(protocol::applyEdit(before, protocol::alignEdit(before, *text, kCp932)), error);
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
