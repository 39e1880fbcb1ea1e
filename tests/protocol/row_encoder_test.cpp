#include "protocol/row_encoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace sw::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The text sits in a heap buffer of exactly its size (no terminator unless the case holds one), so a read past
// the text's end is caught by the address sanitizer.
Bytes encode(const Bytes& text) {
    const auto heap = std::make_unique<std::uint8_t[]>(text.size());
    std::copy(text.begin(), text.end(), heap.get());
    const EncodedRow row = encodeRowText(std::span<const std::uint8_t>(heap.get(), text.size()));
    EXPECT_EQ(row.length % 2, 0u);
    EXPECT_LE(row.length, kRowCellBytes);
    return {row.bytes.begin(), row.bytes.begin() + static_cast<std::ptrdiff_t>(row.length)};
}

Bytes times(const Bytes& piece, int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

Bytes join(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct EncodeCase {
    const char* name;
    Bytes text;
    Bytes cells;
};

class EncodeRowTextTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeRowTextTest, Cells) {
    EXPECT_EQ(encode(GetParam().text), GetParam().cells);
}

TEST_P(EncodeRowTextTest, SameCellsWithTerminator) {
    Bytes text = GetParam().text;
    text.push_back(0x00);
    text.push_back(0x41);  // past the terminator: never encoded
    EXPECT_EQ(encode(text), GetParam().cells);
}

const EncodeCase kEncodeCases[] = {
    {"EmptyText", {}, {}},
    {"Ascii", {0x41, 0x42, 0x43}, {0x82, 0x60, 0x82, 0x61, 0x82, 0x62}},
    {"SpaceIsFullWidth", {0x20}, {0x81, 0x40}},
    {"BackslashIsYen", {0x5C}, {0x81, 0x8F}},
    {"VoicedPair", {0xB6, 0xDE}, {0x83, 0x4B}},
    {"SemiVoicedPair", {0xCA, 0xDF}, {0x83, 0x70}},
    {"VoicedU", {0xB3, 0xDE}, {0x83, 0x94}},
    {"KanaAlone", {0xB6}, {0x83, 0x4A}},
    {"KanaAtTheEnd", {0x41, 0xB6}, {0x82, 0x60, 0x83, 0x4A}},
    {"MarkAfterKanaWithoutVoicedForm", {0xB1, 0xDE}, {0x83, 0x41, 0x81, 0x4A}},
    {"MarkAfterWa", {0xDC, 0xDE}, {0x83, 0x8F, 0x81, 0x4A}},
    {"SemiVoicedMarkAfterKaIsOwnCell", {0xB6, 0xDF}, {0x83, 0x4A, 0x81, 0x4B}},
    {"MarkUsedOnlyOnce", {0xCA, 0xDE, 0xDF}, {0x83, 0x6F, 0x81, 0x4B}},
    {"MarkAloneAtTheStart", {0xDE, 0x41}, {0x81, 0x4A, 0x82, 0x60}},
    {"NoBreakByteIsFullWidthSpace", {0xA0}, {0x81, 0x40}},
    {"HiraganaPassesThrough", {0x82, 0xA0}, {0x82, 0xA0}},
    {"KanjiPassesThrough", {0x8A, 0xBF}, {0x8A, 0xBF}},
    {"HighestShowableLeadAndTrail", {0xEF, 0xFC, 0xE0, 0x40}, {0xEF, 0xFC, 0xE0, 0x40}},
    {"ExtensionCharacterIsSpaceCell", {0xFA, 0x40, 0x41}, {0x00, 0x20, 0x82, 0x60}},
    {"ExtensionLeadWithAnyByteUsesBoth", {0xF0, 0x09, 0x41}, {0x00, 0x20, 0x82, 0x60}},
    {"ExtensionLeadLast", {0x41, 0xFC}, {0x82, 0x60, 0x00, 0x20}},
    {"TabIsEmptyCell", {0x41, 0x09, 0x42}, {0x82, 0x60, 0x00, 0x00, 0x82, 0x61}},
    {"OtherNonCharacters", {0x01, 0x1F, 0x7F, 0x80, 0xFD, 0xFE, 0xFF}, times({0x00, 0x00}, 7)},
    {"LeadWithBadTrailUsesBoth", {0x81, 0x20, 0x41}, {0x00, 0x00, 0x82, 0x60}},
    {"LeadWithDeleteAsTrailUsesBoth", {0xE0, 0x7F, 0x41}, {0x00, 0x00, 0x82, 0x60}},
    {"LeadWithLeadAsTrail", {0x9F, 0xFC}, {0x9F, 0xFC}},
    {"LeadLast", {0x41, 0x81}, {0x82, 0x60, 0x00, 0x00}},
    {"SixteenFullWidthCharacters", times({0x88, 0x9F}, 16), times({0x88, 0x9F}, 16)},
    {"SixteenAscii", times({0x61}, 16), times({0x82, 0x81}, 16)},
    {"SeventeenthCharacterDropped", times({0x61}, 17), times({0x82, 0x81}, 16)},
    // Read-back text: each received cell with a half-width kana first byte came back as two characters.
    {"HalfwidthReadBackBeyondSixteenCellsDropped", times({0xB6, 0xB1}, 16), times({0x83, 0x4A, 0x83, 0x41}, 8)},
    {"VoicedPairAsSixteenthCell", join(times({0x61}, 15), {0xBA, 0xDE, 0x61}),
     join(times({0x82, 0x81}, 15), {0x83, 0x53})},
};

INSTANTIATE_TEST_SUITE_P(Texts, EncodeRowTextTest, testing::ValuesIn(kEncodeCases), [](const auto& info) {
    return std::string(info.param.name);
});

// Whether the text fitted is what lets a caller refuse a row instead of sending it cut.
TEST(EncodeRowText, TruncatedOnlyWhenTextIsLeftOver) {
    const struct {
        Bytes text;
        bool truncated;
    } cases[] = {
        {times({0x61}, 16), false},
        {times({0x61}, 17), true},
        {join(times({0x61}, 15), {0xBA, 0xDE}), false},  // the voiced pair is the 16th cell
        {join(times({0x61}, 16), {0x00, 0x61}), false},  // nothing after the terminator counts
        {{}, false},
    };
    for (const auto& c : cases) {
        const EncodedRow row = encodeRowText(c.text);
        EXPECT_EQ(row.truncated, c.truncated) << c.text.size() << " bytes";
    }
}

TEST(EncodeRowText, EveryTwoByteInputGivesAtMostTwoCellsWithoutOverread) {
    for (int first = 1; first <= 0xFF; ++first) {
        for (int second = 0; second <= 0xFF; ++second) {
            const Bytes cells = encode({static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)});
            ASSERT_GE(cells.size(), 2u);
            ASSERT_LE(cells.size(), 4u);
        }
    }
}

}  // namespace
}  // namespace sw::protocol
