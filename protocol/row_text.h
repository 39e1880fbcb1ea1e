#pragma once
// What a character becomes on its way to the device, for the panel and the companion alike.
//
// Both hold a row as pieces: one character as the operator sees it (Unicode) with the code page 932 bytes it stands
// for. Code page 932 has two codes for some characters (the NEC and IBM extension rows), and the system converts
// back to only one of them, which the row encoding may blank; so a row remembers the pieces the device held in it,
// and a character the device held keeps the device's bytes wherever it stands in that row again (left alone,
// undone, pasted back, typed again) until the next read-back. Only characters the device never held are converted.
// Typed text is taken in the device's forms first: the JIS-style symbols that Macs, the web and Linux write (〜 − ¢
// ¥ ‾ …) as the code page's own, and a kana followed by a combining sound mark as the one voiced kana. The row shows
// what goes out: a character the code page has no form for is shown as the "?" that is sent for it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw::protocol {

// The platform's code page 932 tables, one character at a time.
struct Cp932Codec {
    // None when the code page has no form for the character.
    std::optional<std::string> (*encode)(char32_t character);
    // The character that one code page 932 character's bytes stand for; none when they are no character.
    std::optional<char32_t> (*decode)(std::string_view bytes);
};

// Shown for device bytes that are no character, so the operator can see that they are not one.
inline constexpr char32_t kNotACharacter = U'\uFFFD';
// Shown, and sent, for a character that code page 932 has no form for.
inline constexpr char32_t kNoForm = U'?';

struct TextPiece {
    std::u32string shown;  // one character, with the combining mark it was typed with; "?" when it has no form
    std::string bytes;     // code page 932
    bool unmappable = false;
    std::u32string typed;             // the character the operator gave, where the row shows "?" for it
    std::optional<std::size_t> held;  // which of the row's held pieces this is, when the device held it
    bool operator==(const TextPiece&) const = default;
};
using PieceText = std::vector<TextPiece>;

// A row as the operator edits it: what it holds, and what the device held in it at the last read-back.
struct EditedRow {
    PieceText pieces;
    PieceText held;
};

// Device bytes, such as a row read back, as pieces: one per code page 932 character. Bytes that are no text (a lone
// lead byte, an unassigned code, a control character other than a line break) are shown as kNotACharacter and keep
// their bytes.
PieceText piecesFromBytes(std::string_view cp932, const Cp932Codec& codec);
// The same pieces, both as the row and as what the device held in it.
EditedRow rowFromDevice(std::string_view cp932, const Cp932Codec& codec);

// Text typed anew, in the device's forms (see above). A code is taken only where the code page gives the character
// back for it, so every platform's tables give one answer.
PieceText piecesFromTyping(std::u32string_view text, const Cp932Codec& codec);

// The row edited into `now`: the pieces at its start and at its end that `now` still shows as they were are kept,
// bytes and all; what lies between is typed, and takes the row's held pieces (those not in the row) before it is
// converted anew. `changeEnd`, where the editor knows it (its caret after the change), is the position in `now` at
// which the change ended: of two pieces that show alike, the one the operator removed is then the one removed.
struct PieceEdit {
    std::size_t keptFront = 0;
    std::size_t keptBack = 0;
    PieceText inserted;
    bool composedWithKept = false;  // a sound mark typed after the last kept piece made one character with it
};
PieceEdit alignEdit(const EditedRow& row,
                    std::u32string_view now,
                    const Cp932Codec& codec,
                    std::optional<std::size_t> changeEnd = std::nullopt);

// Keeps the edit's typing within `limitBytes` of code page 932: what it inserted is cut before the first piece that
// would pass the limit; what it deleted stays deleted, and a kept piece that a refused sound mark would have joined
// stays as it was. False when it stands as it is: it fits, or it only deleted (text that the program set beyond the
// limit is not cut).
bool fitEdit(const PieceText& before, PieceEdit& edit, std::size_t limitBytes);

// Applies the edit, then gives each character typed anew a held piece that shows it and is no longer in the row.
void applyEdit(EditedRow& row, const PieceEdit& edit);

// The bytes that go out. A lone lead byte is followed by a byte that is no trail byte, so that it stays one cell of
// its own (the empty cell, as at the end of a row) and never pairs with the piece after it.
std::string joinBytes(const PieceText& text);
std::u32string joinShown(const PieceText& text);

// The first piece the device cannot show as itself: one the code page has no form for, bytes that are no text, or
// a character whose bytes the row encoding blanks (the user-defined and extension area, control characters).
std::optional<std::size_t> firstPieceNotReachingDevice(const PieceText& text);

}  // namespace sw::protocol
