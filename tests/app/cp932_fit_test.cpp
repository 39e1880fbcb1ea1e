#include "app/cp932_fit.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace sw::app {
namespace {

// Code page 932 sizes as the system gives them: ASCII and half-width kana one byte, a character outside the BMP one
// "?", everything else here two bytes.
std::size_t fakeBytes(std::u16string_view character) {
    if (character.size() == 2)
        return 1;
    const char16_t unit = character[0];
    return unit < 0x80 || (unit >= 0xFF61 && unit <= 0xFF9F) ? 1 : 2;
}

struct CutCase {
    const char* name;
    std::string_view text;
    std::size_t limit;
    std::string_view expected;
};

void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.name;
}

class CutCp932Test : public testing::TestWithParam<CutCase> {};

TEST_P(CutCp932Test, KeepsWholeCharactersWithinTheLimit) {
    EXPECT_EQ(CutCp932(GetParam().text, GetParam().limit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Bytes,
                         CutCp932Test,
                         testing::Values(CutCase{"ShortTextStaysWhole", "ABC", 32, "ABC"},
                                         // 15 single bytes and a kanji: the kanji would end at byte 17.
                                         CutCase{"ADoubleByteCharacterAcrossTheLimitIsLeftOut",
                                                 "ABCDEFGHIJKLMNO\x8A\xBF", 16, "ABCDEFGHIJKLMNO"},
                                         CutCase{"ADoubleByteCharacterEndingAtTheLimitIsKept", "ABCDEFGHIJKLMN\x8A\xBF",
                                                 16, "ABCDEFGHIJKLMN\x8A\xBF"},
                                         // Half-width kana bytes (0xA1..0xDF) are single characters, not lead bytes.
                                         CutCase{"HalfWidthKanaAreSingleBytes", "\xB6\xDE\xCA\xDF", 3, "\xB6\xDE\xCA"},
                                         CutCase{"ALeadByteWithoutTrailCountsAsOne", "A\x8A", 2, "A\x8A"}),
                         [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

struct TypingCase {
    const char* name;
    std::u16string_view before;
    std::u16string_view after;
    std::optional<std::u16string_view> expected;  // none: the change stands as it is
    std::size_t caret;
};

void PrintTo(const TypingCase& c, std::ostream* os) {
    *os << c.name;
}

class FitTypingTest : public testing::TestWithParam<TypingCase> {};

TEST_P(FitTypingTest, KeepsTheRowWithinSixteenBytes) {
    const TypingCase& c = GetParam();
    const auto fitted = FitTyping<char16_t>(c.before, c.after, 16, fakeBytes);
    ASSERT_EQ(fitted.has_value(), c.expected.has_value());
    if (!fitted)
        return;
    EXPECT_EQ(fitted->text, *c.expected);
    EXPECT_EQ(fitted->caret, c.caret);
}

INSTANTIATE_TEST_SUITE_P(
    Typing,
    FitTypingTest,
    testing::Values(
        TypingCase{"SixteenSingleBytesFit", u"ABCDEFGHIJKLMNO", u"ABCDEFGHIJKLMNOP", std::nullopt, 0},
        TypingCase{"EightKanjiFit", u"漢漢漢漢漢漢漢", u"漢漢漢漢漢漢漢漢", std::nullopt, 0},
        TypingCase{"ASeventeenthByteIsRefused", u"ABCDEFGHIJKLMNOP", u"ABCDEFGHIJKLMNOPQ", u"ABCDEFGHIJKLMNOP", 16},
        // 15 bytes: a kanji would end at byte 17, so it is refused whole; the edit keeps its 15 bytes.
        TypingCase{"AKanjiAcrossTheLimitIsRefusedWhole", u"ABCDEFGHIJKLMNO", u"ABCDEFGHIJKLMNO漢", u"ABCDEFGHIJKLMNO",
                   15},
        TypingCase{"AKanjiTypedInTheMiddleIsRefused", u"ABCDEFGHIJKLMNO", u"ABC漢DEFGHIJKLMNO", u"ABCDEFGHIJKLMNO", 3},
        // A paste keeps what fits, up to the first character that would pass the limit.
        TypingCase{"APasteIsCutAtTheLastWholeCharacter", u"ABCDEFGHIJ", u"ABCDEFGHIJｶﾞ漢字漢", u"ABCDEFGHIJｶﾞ漢字", 14},
        TypingCase{"APasteOverASelectionReplacesIt", u"漢字漢字漢字漢字", u"漢0123456789ABCDEFGH", u"漢0123456789ABCD",
                   15},
        // A character outside the BMP is one "?" on the wire: one byte, and never split from its pair.
        TypingCase{"AnEmojiCountsAsOneByte", u"ABCDEFGHIJKLMN", u"ABCDEFGHIJKLMN\U0001F600\U0001F600\U0001F600",
                   u"ABCDEFGHIJKLMN\U0001F600\U0001F600", 18},
        // Text the program set beyond the limit (a read-back of 16 full-width characters) is not cut: deleting
        // from it stands, typing into it is refused.
        TypingCase{"DeletingFromAnOverlongTextStands", u"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢",
                   u"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢", std::nullopt, 0},
        TypingCase{"TypingIntoAnOverlongTextIsRefused", u"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢",
                   u"漢漢漢漢漢漢漢漢A漢漢漢漢漢漢漢漢", u"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢", 8}),
    [](const testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sw::app
