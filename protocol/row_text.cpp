#include "protocol/row_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "protocol/row_encoder.h"

namespace sw::protocol {

namespace {

// JIS-style forms and the code page's own: code page 932 maps its codes to the second column only. The JIS-Roman yen
// sign and overline (5C and 7E in JIS, which code page 932 reads as the backslash and the tilde) take the full-width
// ￥ and ￣.
constexpr std::array<std::pair<char32_t, char32_t>, 9> kDeviceForms = {{
    {U'\u00A2', U'\uFFE0'},  // ¢ 81 91
    {U'\u00A3', U'\uFFE1'},  // £ 81 92
    {U'\u00AC', U'\uFFE2'},  // ¬ 81 CA
    {U'\u2014', U'\u2015'},  // — 81 5C
    {U'\u2016', U'\u2225'},  // ‖ 81 61
    {U'\u2212', U'\uFF0D'},  // − 81 7C
    {U'\u301C', U'\uFF5E'},  // 〜 81 60
    {U'\u00A5', U'\uFFE5'},  // ¥ 81 8F, the cell that 5C gives
    {U'\u203E', U'\uFFE3'},  // ‾ 81 50
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

// The held pieces that no piece of the row is: those a character typed again may take.
std::vector<bool> heldInRow(std::size_t heldCount, const PieceText& pieces) {
    std::vector<bool> inRow(heldCount, false);
    for (const TextPiece& piece : pieces) {
        if (piece.held && *piece.held < heldCount)
            inRow[*piece.held] = true;
    }
    return inRow;
}

// The first held piece not in the row that shows `shown` with as many bytes as `sameLengthAs`, if that is given.
std::optional<std::size_t> freeHeldPiece(const PieceText& held,
                                         const std::vector<bool>& inRow,
                                         std::u32string_view shown,
                                         std::optional<std::size_t> sameLengthAs = std::nullopt) {
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (!inRow[i] && held[i].shown == shown && (!sameLengthAs || held[i].bytes.size() == *sameLengthAs))
            return i;
    }
    return std::nullopt;
}

TextPiece typedPiece(std::u32string_view typed, char32_t character, const Cp932Codec& codec) {
    std::optional<std::string> bytes = codec.encode(character);
    // Some tables encode a character as another one's code (glibc: ¥ as 5C, which is the backslash coming back), or
    // as a byte that is no character (Windows: U+0080 as 80): such a code would put on the wire what the row does not
    // show, and differ from one platform to the next.
    if (bytes && (codec.decode(*bytes) != character ||
                  (bytes->size() == 1 && isNoCharacterByte(static_cast<unsigned char>((*bytes)[0])))))
        bytes.reset();
    if (!bytes)
        return {
            std::u32string(1, kNoForm), std::string(1, static_cast<char>(kNoForm)), true, std::u32string(typed), {}};
    return {std::u32string(typed), *std::move(bytes), false, {}, std::nullopt};
}

// `typed` as pieces, each taking a held piece that shows it (and marking it taken) before it is converted anew.
PieceText typePieces(std::u32string_view typed,
                     const Cp932Codec& codec,
                     const PieceText& held,
                     std::vector<bool>& inRow) {
    PieceText text;
    for (std::size_t at = 0; at < typed.size();) {
        const char32_t character = deviceForm(typed[at]);
        std::optional<char32_t> composed;
        if (at + 1 < typed.size() && isCombiningMark(typed[at + 1]))
            composed = compose(character, typed[at + 1]);
        const std::size_t used = composed ? 2 : 1;
        const std::u32string_view group = typed.substr(at, used);
        if (const auto taken = freeHeldPiece(held, inRow, group)) {
            inRow[*taken] = true;
            text.push_back(held[*taken]);
        } else {
            text.push_back(typedPiece(group, composed.value_or(character), codec));
        }
        at += used;
    }
    return text;
}

// How many pieces from the end of `pieces` (before `limit` of them) show exactly the end of `now` from `from` on;
// none when they do not cover exactly that.
std::optional<std::size_t> piecesShowingTheEnd(const PieceText& pieces,
                                               std::size_t limit,
                                               std::u32string_view now,
                                               std::size_t from) {
    std::size_t count = 0;
    std::size_t end = now.size();
    while (end > from && count < limit) {
        const std::u32string& shown = pieces[pieces.size() - 1 - count].shown;
        if (end - from < shown.size() || now.substr(end - shown.size(), shown.size()) != shown)
            break;
        end -= shown.size();
        ++count;
    }
    return end == from ? std::optional(count) : std::nullopt;
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
        text.push_back({std::u32string(1, character.value_or(kNotACharacter)), std::string(bytes), false, {}, {}});
        at += bytes.size();
    }
    return text;
}

EditedRow rowFromDevice(std::string_view cp932, const Cp932Codec& codec) {
    EditedRow row{piecesFromBytes(cp932, codec), {}};
    for (std::size_t i = 0; i < row.pieces.size(); ++i)
        row.pieces[i].held = i;
    row.held = row.pieces;
    return row;
}

PieceText piecesFromTyping(std::u32string_view typed, const Cp932Codec& codec) {
    std::vector<bool> none;
    return typePieces(typed, codec, {}, none);
}

PieceEdit alignEdit(const EditedRow& row,
                    std::u32string_view now,
                    const Cp932Codec& codec,
                    std::optional<std::size_t> changeEnd) {
    const PieceText& before = row.pieces;
    PieceEdit edit;
    std::size_t end = now.size();
    // Where the change ended, what follows it is kept as a whole.
    const std::optional<std::size_t> back = changeEnd && *changeEnd <= now.size()
                                                ? piecesShowingTheEnd(before, before.size(), now, *changeEnd)
                                                : std::nullopt;
    if (back) {
        edit.keptBack = *back;
        end = *changeEnd;
    }
    std::size_t start = 0;
    while (edit.keptFront + edit.keptBack < before.size() &&
           now.substr(start, end - start).starts_with(before[edit.keptFront].shown))
        start += before[edit.keptFront++].shown.size();
    if (!back) {
        while (edit.keptFront + edit.keptBack < before.size()) {
            const std::u32string& shown = before[before.size() - 1 - edit.keptBack].shown;
            if (end - start < shown.size() || !now.substr(0, end).ends_with(shown))
                break;
            end -= shown.size();
            ++edit.keptBack;
        }
    }
    // A sound mark typed after a kept kana composes with it; after anything else it is a character of its own.
    if (start < end && isCombiningMark(now[start]) && edit.keptFront > 0) {
        const std::u32string& last = before[edit.keptFront - 1].shown;
        if (last.size() == 1 && compose(last.front(), now[start])) {
            start -= last.size();
            --edit.keptFront;
            edit.composedWithKept = true;
        }
    }
    PieceText kept(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(edit.keptFront));
    kept.insert(kept.end(), before.end() - static_cast<std::ptrdiff_t>(edit.keptBack), before.end());
    std::vector<bool> inRow = heldInRow(row.held.size(), kept);
    edit.inserted = typePieces(now.substr(start, end - start), codec, row.held, inRow);
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
    if (fits == 0 && edit.composedWithKept) {
        // The refused mark leaves the kana it would have joined as it was.
        ++edit.keptFront;
        edit.composedWithKept = false;
    }
    return true;
}

void applyEdit(EditedRow& row, const PieceEdit& edit) {
    const PieceText& before = row.pieces;
    PieceText after(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(edit.keptFront));
    after.insert(after.end(), edit.inserted.begin(), edit.inserted.end());
    after.insert(after.end(), before.end() - static_cast<std::ptrdiff_t>(edit.keptBack), before.end());
    // A character typed anew earlier, while the device's own piece for it still stood elsewhere in the row, takes
    // that piece once it is free. Its bytes are as many, so the typing limit stands.
    std::vector<bool> inRow = heldInRow(row.held.size(), after);
    for (TextPiece& piece : after) {
        if (piece.held || piece.unmappable)
            continue;
        if (const auto free = freeHeldPiece(row.held, inRow, piece.shown, piece.bytes.size())) {
            inRow[*free] = true;
            piece = row.held[*free];
        }
    }
    row.pieces = std::move(after);
}

std::string joinBytes(const PieceText& text) {
    // Any byte that is no trail byte would do; the encoding uses up the lead byte and it for one empty cell.
    constexpr char kNoTrail = ' ';
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes += text[i].bytes;
        if (text[i].bytes.size() == 1 && isLeadByte(static_cast<unsigned char>(text[i].bytes[0])) &&
            i + 1 < text.size())
            bytes.push_back(kNoTrail);
    }
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
        if (text[i].unmappable || text[i].shown == std::u32string(1, kNotACharacter) ||
            !rowEncodingKeeps(text[i].bytes))
            return i;
    }
    return std::nullopt;
}

}  // namespace sw::protocol
