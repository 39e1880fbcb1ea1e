#pragma once
// Random operator edits of a read-back row and what must hold after each, for the property test and the fuzz target:
// every character the device held keeps its bytes, and the cells that go out are the row's pieces as the row
// encoding gives them, one after the other.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "protocol/row_encoder.h"
#include "protocol/row_text.h"
#include "protocol/text_cells.h"
#include "tests/protocol/cp932_reference.h"

namespace sw::test {

using protocol::EditedRow;
using protocol::PieceText;
using protocol::TextPiece;

// The reference tables, remembered: iconv opens a converter for every character.
inline std::optional<std::string> rememberedEncode(char32_t c) {
    static std::map<char32_t, std::optional<std::string>> known;
    const auto found = known.find(c);
    return found != known.end() ? found->second : known[c] = cp932FromCodePoint(c);
}
inline std::optional<char32_t> rememberedDecode(std::string_view bytes) {
    static std::map<std::string, std::optional<char32_t>, std::less<>> known;
    const auto found = known.find(bytes);
    return found != known.end() ? found->second : known[std::string(bytes)] = codePointFromCp932(bytes);
}
inline const protocol::Cp932Codec kRememberedCp932{&rememberedEncode, &rememberedDecode};

// Picks a number below its argument (never called with 0).
using Choose = std::function<std::size_t(std::size_t)>;

// Cells a device may hold: characters with one code and with two (髙 EE E0, ≒ 87 90, 纊 ED 40), kana, half-width
// kana and marks, and cells that are no text (a lone lead byte, a lead without a trail, an unassigned code, a control,
// the empty cell, the extension area).
inline const std::vector<std::string> kDeviceCells = {
    {"\x00\x41", 2}, "\x82\x60",      "\xEE\xE0",      "\x8B\xB4",      "\x87\x90", "\xED\x40",
    "\x82\xA9",      {"\x00\xB6", 2}, {"\x00\xDE", 2}, {"\x00\x81", 2}, "\x81\x20", "\x85\x40",
    {"\x00\x07", 2}, {"\x00\x00", 2}, "\xFA\x5C",      {"\x00\x5C", 2},
};
// What the operator types or pastes: the same characters, sound marks, what code page 932 lacks (visible or not),
// the forms that differ by platform.
inline const std::vector<std::u32string> kTyped = {
    U"A", U"Ｂ", U"髙",     U"橋",         U"≒",      U"纊",     U"か",     U"\u3099", U"\u309A", U"ｶ",
    U"ﾞ", U"?",  U"\uFFFD", U"\U0001F600", U"\u00A5", U"\u203E", U"\u00A0", U"~",      U"\u200B",
};

inline protocol::RowCells randomCells(const Choose& choose) {
    protocol::RowCells cells{};
    const std::size_t count = choose(protocol::kRowCellCount + 1);
    for (std::size_t k = 0; k < count; ++k) {
        std::string cell = kDeviceCells[choose(kDeviceCells.size())];
        if (choose(8) == 0)
            cell = {static_cast<char>(choose(256)), static_cast<char>(choose(256))};
        cells[2 * k] = static_cast<std::uint8_t>(cell[0]);
        cells[2 * k + 1] = static_cast<std::uint8_t>(cell[1]);
    }
    return cells;
}

struct EditStep {
    std::u32string now;
    std::optional<std::size_t> changeEnd;  // the caret after the change, where the editor knows it
};

// One operator change of `shown`: typing over a selection (or at the caret), deleting, undoing to an earlier text,
// or cutting a part and pasting it back elsewhere (two steps).
inline std::vector<EditStep> randomChange(const std::u32string& shown,
                                          const std::vector<std::u32string>& earlier,
                                          const Choose& choose) {
    const std::size_t from = choose(shown.size() + 1);
    const std::size_t to = from + choose(shown.size() - from + 1);
    const std::u32string left = shown.substr(0, from) + shown.substr(to);
    std::u32string typed;
    for (std::size_t n = choose(5); n > 0; --n)
        typed += kTyped[choose(kTyped.size())];
    const std::size_t paste = choose(left.size() + 1);
    switch (choose(3)) {
        case 0:
            return {{shown.substr(0, from) + typed + shown.substr(to), from + typed.size()}};
        case 1:
            return {{earlier[choose(earlier.size())], std::nullopt}};
        default:
            return {{left, from},
                    {left.substr(0, paste) + shown.substr(from, to - from) + left.substr(paste), paste + to - from}};
    }
}

inline std::string cellsOf(const std::string& bytes) {
    const auto row = protocol::encodeRowText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return {row.bytes.begin(), row.bytes.begin() + static_cast<std::ptrdiff_t>(row.length)};
}

// What is wrong with `row` after a change to `now` that the typing limit cut or not; empty when nothing.
inline std::string rowFault(const EditedRow& row, std::u32string_view now, bool cut, std::size_t bytesBefore) {
    std::set<std::size_t> inRow;
    std::size_t bytes = 0;
    std::size_t at = 0;  // in `now`: each piece shows its part of it, or the "?" for a character it lacks
    for (const TextPiece& piece : row.pieces) {
        bytes += piece.bytes.size();
        if (piece.held &&
            (*piece.held >= row.held.size() || !(piece == row.held[*piece.held]) || !inRow.insert(*piece.held).second))
            return "a held piece is not the device's, or stands twice";
        if (now.substr(std::min(at, now.size())).starts_with(piece.shown))
            at += piece.shown.size();
        else if (piece.unmappable && now.substr(std::min(at, now.size())).starts_with(piece.typed))
            at += piece.typed.size();
        else
            at = now.size() + 1;
    }
    std::string expected;
    for (std::size_t i = 0; i < row.pieces.size(); ++i) {
        const std::string& own = row.pieces[i].bytes;
        // The cells: each piece's own, but for a half-width kana and its sound mark, which make one cell.
        const std::string pair = i + 1 < row.pieces.size() ? own + row.pieces[i + 1].bytes : "";
        const bool voiced = pair.size() == 2 && static_cast<unsigned char>(pair[0]) >= 0xA6 &&
                            static_cast<unsigned char>(pair[0]) < 0xE0 && static_cast<unsigned char>(pair[1]) >= 0xDE &&
                            static_cast<unsigned char>(pair[1]) < 0xE0 && cellsOf(pair).size() == 2;
        expected += cellsOf(voiced ? pair : own);
        i += voiced ? 1 : 0;
    }
    for (const TextPiece& piece : row.pieces) {
        for (std::size_t i = 0; i < row.held.size() && !piece.held && !piece.unmappable; ++i) {
            if (!inRow.contains(i) && row.held[i].shown == piece.shown &&
                row.held[i].bytes.size() == piece.bytes.size())
                return "a character was converted anew while the device's piece for it was free";
        }
    }
    if (!cut && at != now.size())
        return "the row does not show the text edited into it";
    if (cut && bytes > std::max<std::size_t>(16, bytesBefore))
        return "typing passed the 16-byte limit";
    if (cellsOf(protocol::joinBytes(row.pieces)) != expected.substr(0, protocol::kRowCellBytes))
        return "the wire pairs bytes of two pieces";
    return {};
}

// Reads back `cells` and makes `changes` random changes as the panel's edit takes them, checking after each step.
inline std::string editRandomly(const protocol::RowCells& cells,
                                std::size_t changes,
                                const Choose& choose,
                                const protocol::Cp932Codec& codec) {
    std::array<std::uint8_t, 2 + protocol::kRowCellBytes> reply{};
    std::copy(cells.begin(), cells.end(), reply.begin() + 2);
    EditedRow row = protocol::rowFromDevice(protocol::decodeRowCells(reply), codec);
    std::vector<std::u32string> earlier;
    for (std::size_t n = 0; n < changes; ++n) {
        earlier.push_back(protocol::joinShown(row.pieces));
        for (const EditStep& step : randomChange(earlier.back(), earlier, choose)) {
            protocol::PieceEdit edit = protocol::alignEdit(row, step.now, codec, step.changeEnd);
            const bool cut = protocol::fitEdit(row.pieces, edit, 16);
            const std::size_t bytesBefore = protocol::joinBytes(row.pieces).size();
            protocol::applyEdit(row, edit);
            if (std::string fault = rowFault(row, step.now, cut, bytesBefore); !fault.empty())
                return fault;
        }
    }
    return {};
}

}  // namespace sw::test
