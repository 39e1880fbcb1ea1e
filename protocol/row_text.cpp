#include "protocol/row_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "protocol/row_encoder.h"

namespace sw::protocol {

namespace {

// JIS-style forms and the code page's own: code page 932 maps its codes to the second column only.
constexpr std::array<std::pair<char32_t, char32_t>, 7> kDeviceForms = {{
    {U'\u00A2', U'\uFFE0'},  // ¢ 81 91
    {U'\u00A3', U'\uFFE1'},  // £ 81 92
    {U'\u00AC', U'\uFFE2'},  // ¬ 81 CA
    {U'\u2014', U'\u2015'},  // — 81 5C
    {U'\u2016', U'\u2225'},  // ‖ 81 61
    {U'\u2212', U'\uFF0D'},  // − 81 7C
    {U'\u301C', U'\uFF5E'},  // 〜 81 60
}};

constexpr char32_t kCombiningVoiced = U'\u3099';
constexpr char32_t kCombiningSemiVoiced = U'\u309A';

char32_t deviceForm(char32_t character) {
    for (const auto& [jis, own] : kDeviceForms) {
        if (character == jis)
            return own;
    }
    return character;
}

bool isCombiningMark(char32_t c) {
    return c == kCombiningVoiced || c == kCombiningSemiVoiced;
}

// Kana whose voiced form is the next code point, in hiragana; katakana lie 0x60 above.
constexpr std::array<char32_t, 21> kVoicedByNext = {
    U'\u304B', U'\u304D', U'\u304F', U'\u3051', U'\u3053', U'\u3055', U'\u3057',
    U'\u3059', U'\u305B', U'\u305D', U'\u305F', U'\u3061', U'\u3064', U'\u3066',
    U'\u3068', U'\u306F', U'\u3072', U'\u3075', U'\u3078', U'\u307B', U'\u309D',
};
// は ひ ふ へ ほ: semi-voiced two code points on.
constexpr std::array<char32_t, 5> kSemiVoiced = {U'\u306F', U'\u3072', U'\u3075', U'\u3078', U'\u307B'};
constexpr char32_t kKatakanaOffset = 0x60;

// The one character a kana and its combining mark make, if Unicode has it.
std::optional<char32_t> compose(char32_t base, char32_t mark) {
    const bool katakana = base >= U'\u30A1' && base <= U'\u30FE';
    const char32_t hiragana = katakana ? base - kKatakanaOffset : base;
    const auto in = [hiragana](const auto& set) { return std::find(set.begin(), set.end(), hiragana) != set.end(); };
    if (mark == kCombiningSemiVoiced)
        return in(kSemiVoiced) ? std::optional(base + 2) : std::nullopt;
    if (in(kVoicedByNext))
        return base + 1;
    if (base == U'\u3046' || base == U'\u30A6')  // う ウ
        return katakana ? U'\u30F4' : U'\u3094';
    if (base >= U'\u30EF' && base <= U'\u30F2')  // ワ ヰ ヱ ヲ
        return base + 8;
    return std::nullopt;
}

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Single bytes that some tables map to a control or private-use code point, though they stand for no character.
bool isNoCharacterByte(unsigned char b) {
    return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

// Control characters are no text either: a tab or an escape shows nothing, or worse, where the row is shown. Line
// breaks are kept: the panel's own texts (the status line, the display of both rows) are made with them.
bool isControl(char32_t c) {
    return (c < 0x20 && c != U'\r' && c != U'\n') || (c >= 0x7F && c < 0xA0);
}

std::size_t bytesIn(const PieceText& text, std::size_t from, std::size_t to) {
    std::size_t total = 0;
    for (std::size_t i = from; i < to; ++i)
        total += text[i].bytes.size();
    return total;
}

}  // namespace

PieceText piecesFromBytes(std::string_view cp932, const Cp932Codec& codec) {
    PieceText text;
    for (std::size_t at = 0; at < cp932.size();) {
        const auto byte = static_cast<unsigned char>(cp932[at]);
        // A lead byte takes the byte after it whatever it is, as the row encoding does: a lead byte whose follower is
        // no trail byte is one piece that is no character, so that nothing typed next to it can pair with it.
        const std::string_view bytes = cp932.substr(at, isLeadByte(byte) && at + 1 < cp932.size() ? 2 : 1);
        std::optional<char32_t> character;
        if (!isNoCharacterByte(byte))
            character = codec.decode(bytes);
        if (character && isControl(*character))
            character.reset();
        text.push_back({std::u32string(1, character.value_or(kNotACharacter)), std::string(bytes), false});
        at += bytes.size();
    }
    return text;
}

PieceText piecesFromTyping(std::u32string_view typed, const Cp932Codec& codec) {
    PieceText text;
    for (std::size_t at = 0; at < typed.size();) {
        const char32_t character = deviceForm(typed[at]);
        std::optional<char32_t> composed;
        if (at + 1 < typed.size() && isCombiningMark(typed[at + 1]))
            composed = compose(character, typed[at + 1]);
        const std::size_t used = composed ? 2 : 1;
        const std::optional<std::string> bytes = codec.encode(composed.value_or(character));
        text.push_back({std::u32string(typed.substr(at, used)), bytes.value_or("?"), !bytes});
        at += used;
    }
    return text;
}

PieceEdit alignEdit(const PieceText& before, std::u32string_view now, const Cp932Codec& codec) {
    PieceEdit edit;
    std::size_t start = 0;
    while (edit.keptFront < before.size() && now.substr(start).starts_with(before[edit.keptFront].shown))
        start += before[edit.keptFront++].shown.size();
    std::size_t end = now.size();
    while (edit.keptFront + edit.keptBack < before.size()) {
        const std::u32string& shown = before[before.size() - 1 - edit.keptBack].shown;
        if (end - start < shown.size() || !now.substr(0, end).ends_with(shown))
            break;
        end -= shown.size();
        ++edit.keptBack;
    }
    // A sound mark typed after a kept kana composes with it.
    if (start < end && isCombiningMark(now[start]) && edit.keptFront > 0)
        start -= before[--edit.keptFront].shown.size();
    edit.inserted = piecesFromTyping(now.substr(start, end - start), codec);
    return edit;
}

bool fitEdit(const PieceText& before, PieceEdit& edit, std::size_t limitBytes) {
    std::size_t total =
        bytesIn(before, 0, edit.keptFront) + bytesIn(before, before.size() - edit.keptBack, before.size());
    const std::size_t kept = total;
    total += bytesIn(edit.inserted, 0, edit.inserted.size());
    if (total <= limitBytes || edit.inserted.empty())
        return false;
    std::size_t fits = 0;
    for (std::size_t used = kept; fits < edit.inserted.size(); ++fits) {
        used += edit.inserted[fits].bytes.size();
        if (used > limitBytes)
            break;
    }
    edit.inserted.resize(fits);
    return true;
}

PieceText applyEdit(const PieceText& before, const PieceEdit& edit) {
    PieceText after(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(edit.keptFront));
    after.insert(after.end(), edit.inserted.begin(), edit.inserted.end());
    after.insert(after.end(), before.end() - static_cast<std::ptrdiff_t>(edit.keptBack), before.end());
    return after;
}

std::string joinBytes(const PieceText& text) {
    std::string bytes;
    for (const TextPiece& piece : text)
        bytes += piece.bytes;
    return bytes;
}

std::u32string joinShown(const PieceText& text) {
    std::u32string shown;
    for (const TextPiece& piece : text)
        shown += piece.shown;
    return shown;
}

std::optional<std::size_t> firstPieceNotReachingDevice(const PieceText& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i].unmappable || !rowEncodingKeeps(text[i].bytes))
            return i;
    }
    return std::nullopt;
}

}  // namespace sw::protocol
