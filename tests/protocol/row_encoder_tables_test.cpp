// The encoder's tables against code page 932 as iconv defines it and Unicode's own mappings, so that a wrong
// byte in any row fails here.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "protocol/row_encoder.h"
#include "tests/protocol/cp932_reference.h"

namespace sw::protocol {
namespace {

using sw::test::codePointFromCp932;
using sw::test::cp932FromCodePoint;

std::string cellString(const CellBytes& cell) {
    return {static_cast<char>(cell[0]), static_cast<char>(cell[1])};
}

// The full-width forms of ASCII: U+FF01..U+FF5E for 0x21..0x7E, the ideographic space for 0x20. Four characters
// are widened to what code page 932 shows for them: typographic quotes, and the yen sign for 0x5C.
char32_t fullwidthOfAscii(std::uint8_t ascii) {
    switch (ascii) {
        case 0x20:
            return U'\u3000';
        case 0x22:
            return U'\u201D';  // right double quotation mark
        case 0x27:
            return U'\u2019';  // right single quotation mark
        case 0x5C:
            return U'\uFFE5';  // full-width yen sign
        case 0x60:
            return U'\u2018';  // left single quotation mark
        default:
            return U'\uFF01' + (ascii - 0x21);
    }
}

TEST(FullwidthAsciiTable, EveryRowIsTheFullWidthForm) {
    for (std::uint8_t ascii = 0x20; ascii <= 0x7E; ++ascii) {
        const auto expected = cp932FromCodePoint(fullwidthOfAscii(ascii));
        ASSERT_TRUE(expected.has_value()) << "iconv has no CP932 converter";
        EXPECT_EQ(cellString(FullwidthAsciiTable[ascii - 0x20]), *expected) << "ASCII 0x" << std::hex << int{ascii};
    }
}

// NFKC of the half-width forms U+FF61..U+FF9F, from the Unicode character database. The two sound marks
// decompose to the combining marks U+3099/U+309A; shown alone they are the spacing marks U+309B/U+309C.
constexpr char32_t kNfkcOfHalfwidth[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,
};

// The full-width form of a half-width byte 0xA1..0xDF, going through its Unicode code point.
char32_t fullwidthOfHalfwidthByte(std::uint8_t b) {
    const auto halfwidth = codePointFromCp932(std::string(1, static_cast<char>(b)));
    EXPECT_TRUE(halfwidth.has_value()) << "byte 0x" << std::hex << int{b};
    if (!halfwidth || *halfwidth < 0xFF61 || *halfwidth > 0xFF9F) {
        return 0;
    }
    return kNfkcOfHalfwidth[*halfwidth - 0xFF61];
}

TEST(HalfwidthKanaTable, EveryKanaRowIsItsFullWidthForm) {
    for (int b = 0xA1; b <= 0xDF; ++b) {
        const auto expected = cp932FromCodePoint(fullwidthOfHalfwidthByte(static_cast<std::uint8_t>(b)));
        ASSERT_TRUE(expected.has_value()) << "byte 0x" << std::hex << b;
        EXPECT_EQ(cellString(HalfwidthKanaTable[b - 0xA0]), *expected) << "byte 0x" << std::hex << b;
    }
}

TEST(HalfwidthKanaTable, ByteWithoutCharacterIsTheFullWidthSpace) {
    EXPECT_EQ(cellString(HalfwidthKanaTable[0]), cp932FromCodePoint(U'\u3000'));
}

// Unicode's canonical compositions of a katakana with the combining voiced (U+3099) or semi-voiced (U+309A)
// sound mark.
struct Composition {
    char32_t base;
    char32_t mark;
    char32_t composed;
};
constexpr Composition kKatakanaCompositions[] = {
    {0x30A6, 0x3099, 0x30F4}, {0x30AB, 0x3099, 0x30AC}, {0x30AD, 0x3099, 0x30AE}, {0x30AF, 0x3099, 0x30B0},
    {0x30B1, 0x3099, 0x30B2}, {0x30B3, 0x3099, 0x30B4}, {0x30B5, 0x3099, 0x30B6}, {0x30B7, 0x3099, 0x30B8},
    {0x30B9, 0x3099, 0x30BA}, {0x30BB, 0x3099, 0x30BC}, {0x30BD, 0x3099, 0x30BE}, {0x30BF, 0x3099, 0x30C0},
    {0x30C1, 0x3099, 0x30C2}, {0x30C4, 0x3099, 0x30C5}, {0x30C6, 0x3099, 0x30C7}, {0x30C8, 0x3099, 0x30C9},
    {0x30CF, 0x3099, 0x30D0}, {0x30CF, 0x309A, 0x30D1}, {0x30D2, 0x3099, 0x30D3}, {0x30D2, 0x309A, 0x30D4},
    {0x30D5, 0x3099, 0x30D6}, {0x30D5, 0x309A, 0x30D7}, {0x30D8, 0x3099, 0x30D9}, {0x30D8, 0x309A, 0x30DA},
    {0x30DB, 0x3099, 0x30DC}, {0x30DB, 0x309A, 0x30DD}, {0x30EF, 0x3099, 0x30F7}, {0x30F0, 0x3099, 0x30F8},
    {0x30F1, 0x3099, 0x30F9}, {0x30F2, 0x3099, 0x30FA},
};

// The code page 932 bytes of the one character that a half-width kana and mark compose to, if there is one.
std::optional<std::string> composedCell(std::uint8_t kana, std::uint8_t mark) {
    const char32_t base = fullwidthOfHalfwidthByte(kana);
    const char32_t combining = mark == 0xDE ? 0x3099 : 0x309A;
    for (const Composition& c : kKatakanaCompositions) {
        if (c.base == base && c.mark == combining) {
            return cp932FromCodePoint(c.composed);
        }
    }
    return std::nullopt;
}

TEST(VoicedKanaTable, EveryRowIsTheComposedCharacter) {
    for (const VoicedKana& row : VoicedKanaTable) {
        ASSERT_TRUE(row.mark == 0xDE || row.mark == 0xDF) << "mark 0x" << std::hex << int{row.mark};
        EXPECT_EQ(std::optional(cellString(row.cell)), composedCell(row.kana, row.mark))
            << "kana 0x" << std::hex << int{row.kana} << " mark 0x" << int{row.mark};
    }
}

TEST(VoicedKanaTable, HoldsExactlyThePairsCodePage932CanShowAsOneCharacter) {
    std::set<std::pair<int, int>> expected;
    for (int kana = 0xA6; kana <= 0xDD; ++kana) {
        for (const int mark : {0xDE, 0xDF}) {
            if (composedCell(static_cast<std::uint8_t>(kana), static_cast<std::uint8_t>(mark))) {
                expected.insert({kana, mark});
            }
        }
    }
    std::set<std::pair<int, int>> actual;
    for (const VoicedKana& row : VoicedKanaTable) {
        EXPECT_TRUE(actual.insert({row.kana, row.mark}).second) << "duplicate row 0x" << std::hex << int{row.kana};
    }
    EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace sw::protocol
