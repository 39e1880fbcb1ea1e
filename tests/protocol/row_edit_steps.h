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

// One operator change of `shown`: typing or pasting, deleting, typing over a selection, undoing to an earlier text,
// or cutting a part and pasting it back elsewhere (two changes: `then` holds the paste).
inline std::vector<EditStep> randomChange(const std::u32string& shown,
                                          const std::vector<std::u32string>& earlier,
                                          const Choose& choose) {
    const auto at = [&](std::size_t below) { return choose(below + 1); };
    const auto typed = [&] {
        std::u32string text;
        for (std::size_t n = 1 + choose(4); n > 0; --n)
            text += kTyped[choose(kTyped.size())];
        return text;
    };
    const std::size_t from = at(shown.size());
    const std::size_t to = from + at(shown.size() - from);
    const std::u32string before = shown.substr(0, from);
    const std::u32string after = shown.substr(to);
    switch (choose(5)) {
        case 0: {
            const std::u32string text = typed();
            return {{before + text + shown.substr(from), from + text.size()}};
        }
        case 1:
            return {{before + after, from}};
        case 2: {
            const std::u32string text = typed();
            return {{before + text + after, from + text.size()}};
        }
        case 3:
            if (!earlier.empty())
                return {{earlier[choose(earlier.size())], std::nullopt}};
            return {{shown, shown.size()}};
        default: {
            const std::u32string cut = shown.substr(from, to - from);
            const std::u32string left = before + after;
            const std::size_t paste = at(left.size());
            return {{left, from}, {left.substr(0, paste) + cut + left.substr(paste), paste + cut.size()}};
        }
    }
}

inline std::string cellsOf(const std::string& bytes) {
    const auto row = protocol::encodeRowText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return {row.bytes.begin(), row.bytes.begin() + static_cast<std::ptrdiff_t>(row.length)};
}

// What is wrong with `row` after a change to `now` (`cut`: the typing limit cut the change); empty when nothing.
inline std::vector<std::string> rowFaults(const EditedRow& row,
                                          const std::u32string& now,
                                          bool cut,
                                          std::size_t keptBytes,
                                          const protocol::Cp932Codec& codec) {
    std::vector<std::string> faults;
    std::set<std::size_t> inRow;
    std::size_t bytes = 0;
    for (const TextPiece& piece : row.pieces) {
        bytes += piece.bytes.size();
        if (piece.held) {
            if (*piece.held >= row.held.size() || !(piece == row.held[*piece.held]) ||
                !inRow.insert(*piece.held).second)
                faults.push_back("a held piece is not the device's, or stands twice");
            else if (protocol::piecesFromBytes(piece.bytes, codec) !=
                     PieceText{{piece.shown, piece.bytes, false, {}, {}}})
                faults.push_back("a held piece's bytes do not show what it shows");
        } else if (piece.unmappable
                       ? piece.shown != U"?" || piece.bytes != "?"
                       : protocol::joinBytes(protocol::piecesFromTyping(piece.shown, codec)) != piece.bytes) {
            faults.push_back("a typed piece's bytes are not what its character is typed as");
        }
    }
    for (const TextPiece& piece : row.pieces) {
        for (std::size_t i = 0; i < row.held.size() && !piece.held && !piece.unmappable; ++i) {
            if (!inRow.contains(i) && row.held[i].shown == piece.shown &&
                row.held[i].bytes.size() == piece.bytes.size())
                faults.push_back("a character was converted anew while the device's piece for it was free");
        }
    }
    // Each piece shows its part of the text, or the "?" for a character it lacks.
    std::size_t at = 0;
    for (const TextPiece& piece : row.pieces) {
        if (at > now.size())
            break;
        if (std::u32string_view(now).substr(at).starts_with(piece.shown))
            at += piece.shown.size();
        else if (piece.unmappable && std::u32string_view(now).substr(at).starts_with(piece.typed))
            at += piece.typed.size();
        else
            at = now.size() + 1;
    }
    if (!cut && at != now.size())
        faults.push_back("the row does not show the text edited into it");
    if (cut && bytes > std::max<std::size_t>(16, keptBytes))
        faults.push_back("typing passed the 16-byte limit");
    // The cells: each piece's own, but for a half-width kana and its sound mark, which make one cell.
    std::string expected;
    for (std::size_t i = 0; i < row.pieces.size(); ++i) {
        const std::string& one = row.pieces[i].bytes;
        const auto halfwidth = [](const std::string& b, unsigned char from) {
            return b.size() == 1 && static_cast<unsigned char>(b[0]) >= from &&
                   static_cast<unsigned char>(b[0]) <= 0xDF;
        };
        if (i + 1 < row.pieces.size() && halfwidth(one, 0xA6) && halfwidth(row.pieces[i + 1].bytes, 0xDE)) {
            const std::string pair = one + row.pieces[i + 1].bytes;
            if (cellsOf(pair).size() == 2) {
                expected += cellsOf(pair);
                ++i;
                continue;
            }
        }
        expected += cellsOf(one);
    }
    const std::string wire = cellsOf(protocol::joinBytes(row.pieces));
    if (wire != expected.substr(0, std::min(expected.size(), protocol::kRowCellBytes)))
        faults.push_back("the wire pairs bytes of two pieces");
    return faults;
}

// Reads back `cells` and makes `changes` random changes as the panel's edit takes them, checking after each.
inline std::vector<std::string> editRandomly(const protocol::RowCells& cells,
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
            std::size_t kept = 0;
            for (std::size_t i = 0; i < row.pieces.size(); ++i) {
                if (i < edit.keptFront || i >= row.pieces.size() - edit.keptBack)
                    kept += row.pieces[i].bytes.size();
            }
            protocol::applyEdit(row, edit);
            auto faults = rowFaults(row, step.now, cut, kept, codec);
            if (!faults.empty())
                return faults;
        }
    }
    return {};
}

}  // namespace sw::test
