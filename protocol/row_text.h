#pragma once
// What a character becomes on its way to the device, for the panel and the companion alike.
//
// Both hold a row as pieces: one character as the operator sees it (Unicode) with the code page 932 bytes it stands
// for. Code page 932 has two codes for some characters (the NEC and IBM extension rows), and the system converts
// back to only one of them, which the row encoding may blank; so a piece that came from the device keeps the
// device's bytes for as long as it is left as it is, and only what is typed anew is converted. Typed text is taken
// in the device's forms first: the JIS-style symbols that Macs, the web and Linux write (〜 − ¢ …) as the code page's
// own, and a kana followed by a combining sound mark as the one voiced kana.

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

struct TextPiece {
    std::u32string shown;  // one character, with the combining mark it was typed with, if any
    std::string bytes;     // code page 932; "?" when the code page has no form for the character
    bool unmappable = false;
    bool operator==(const TextPiece&) const = default;
};
using PieceText = std::vector<TextPiece>;

// Device bytes, such as a row read back, as pieces: one per code page 932 character. Bytes that are no text (a lone
// lead byte, an unassigned code, a control character other than a line break) are shown as kNotACharacter and keep
// their bytes.
PieceText piecesFromBytes(std::string_view cp932, const Cp932Codec& codec);

// Text typed anew, in the device's forms (see above).
PieceText piecesFromTyping(std::u32string_view text, const Cp932Codec& codec);

// `before` edited into `now`: the pieces at its start and at its end that `now` still shows as they were are kept,
// bytes and all; what lies between is typed anew.
struct PieceEdit {
    std::size_t keptFront = 0;
    std::size_t keptBack = 0;
    PieceText inserted;
};
PieceEdit alignEdit(const PieceText& before, std::u32string_view now, const Cp932Codec& codec);

// Keeps the edit's typing within `limitBytes` of code page 932: what it inserted is cut before the first piece that
// would pass the limit; what it deleted stays deleted. False when it stands as it is: it fits, or it only deleted
// (text that the program set beyond the limit is not cut).
bool fitEdit(const PieceText& before, PieceEdit& edit, std::size_t limitBytes);

PieceText applyEdit(const PieceText& before, const PieceEdit& edit);

std::string joinBytes(const PieceText& text);
std::u32string joinShown(const PieceText& text);

// The first piece the device cannot show as itself: one the code page has no form for, or whose bytes the row
// encoding blanks (the user-defined and extension area, control characters, bytes that are no character).
std::optional<std::size_t> firstPieceNotReachingDevice(const PieceText& text);

}  // namespace sw::protocol
