#include "protocol/signal_format.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/protocol/cp932_reference.h"
#include "tests/protocol/reply_printers.h"

namespace sw::protocol {
namespace {

using sw::test::sjis;

// Decodes a status reply made of the given bytes, so the resolution is pinned from the wire up.
StatusReply statusFrom(const std::vector<std::pair<std::size_t, std::uint8_t>>& set) {
    std::vector<std::uint8_t> reply(64, 0);
    reply[1] = 0x3F;
    for (const auto& [index, value] : set) {
        reply.at(index) = value;
    }
    const DecodedReply decoded = decodeReply(reply);
    EXPECT_TRUE(std::holds_alternative<StatusReply>(decoded));
    return std::holds_alternative<StatusReply>(decoded) ? std::get<StatusReply>(decoded) : StatusReply{};
}

struct FormatCase {
    const char* name;
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
    SignalFormat format;
};

class ResolveSignalFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(ResolveSignalFormatTest, Resolves) {
    EXPECT_EQ(resolveSignalFormat(statusFrom(GetParam().bytes)), GetParam().format);
}

// Bytes 3..8 describing an explicit 1024 x 768 interlaced picture, marked valid.
const std::vector<std::pair<std::size_t, std::uint8_t>> kExplicit1024 = {{3, 0x04}, {4, 0x00}, {5, 0x03},
                                                                         {6, 0x00}, {7, 0x01}, {8, 0x80}};

std::vector<std::pair<std::size_t, std::uint8_t>> withMode(std::uint8_t byte24) {
    auto bytes = kExplicit1024;
    bytes.emplace_back(24, byte24);
    return bytes;
}

const FormatCase kFormatCases[] = {
    {"Mode1", withMode(0x01), {true, 640, 480, false}},
    {"Mode2", withMode(0x02), {true, 720, 480, false}},
    {"Mode3WinsOverValidExplicitFields", withMode(0x03), {true, 1280, 720, false}},
    {"Mode4Interlaced", withMode(0x04), {true, 1920, 1080, true}},
    {"Mode5Interlaced", withMode(0x05), {true, 720, 480, true}},
    {"Mode6", withMode(0x06), {true, 1920, 1080, false}},
    {"Mode7", withMode(0x07), {true, 1600, 1200, false}},
    {"ModeFromLowThreeBits", withMode(0xF9), {true, 640, 480, false}},
    {"ExplicitFieldsWhenModeZero", withMode(0xF8), {true, 1024, 768, true}},
    {"ExplicitInterlacedFromBitSeven",
     {{3, 0x02}, {4, 0xD0}, {5, 0x01}, {6, 0xE0}, {7, 0x01}, {8, 0x80}},
     {true, 720, 480, true}},
    {"ExplicitProgressiveWhenBitSevenClear",
     {{3, 0x02}, {4, 0xD0}, {5, 0x01}, {6, 0xE0}, {7, 0x01}, {8, 0x7F}},
     {true, 720, 480, false}},
    {"UnresolvedWhenFlagIsTwo", {{3, 0x02}, {4, 0xD0}, {5, 0x01}, {6, 0xE0}, {7, 0x02}}, {}},
    {"UnresolvedWhenFlagIsZero", {{3, 0x02}, {4, 0xD0}, {5, 0x01}, {6, 0xE0}}, {}},
};

INSTANTIATE_TEST_SUITE_P(Status, ResolveSignalFormatTest, testing::ValuesIn(kFormatCases), [](const auto& info) {
    return std::string(info.param.name);
});

struct RangeCase {
    const char* name;
    int width;
    int height;
    TextBlock block;  // h, v, sizeIndex, row1Cells, row2Cells
    bool warns;
};

class CheckTextRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(CheckTextRangeTest, WarnsOnlyPastTheEdge) {
    const RangeCase& c = GetParam();
    EXPECT_EQ(checkTextRange({true, c.width, c.height, false}, c.block), c.warns);
}

const RangeCase kRangeCases[] = {
    {"RowEndsAtRightEdge", 720, 480, {560, 0, 0, 10, 0}, false},
    {"RowOnePixelPastRightEdge", 720, 480, {561, 0, 0, 10, 0}, true},
    {"TwoRowsEndAtBottomEdge", 720, 480, {0, 444, 0, 0, 1}, false},
    {"TwoRowsOnePixelPastBottom", 720, 480, {0, 445, 0, 0, 1}, true},
    {"OneRowEndsAtBottomEdge", 720, 480, {0, 464, 0, 1, 0}, false},
    {"OneRowOnePixelPastBottom", 720, 480, {0, 465, 0, 1, 0}, true},
    {"LargestSizeFullRowFitsWidePicture", 1280, 720, {0, 0, 3, 16, 0}, false},
    {"LargestSizeFullRowTooWideForNarrowPicture", 720, 480, {0, 0, 3, 16, 0}, true},
    {"DoubleSizeSecondRowOnlyFits", 720, 480, {0, 400, 1, 0, 1}, false},
    {"DoubleSizeSecondRowOnlyAtBorder", 720, 480, {0, 408, 1, 0, 1}, false},
    {"DoubleSizeSecondRowOnlyOnePixelOver", 720, 480, {0, 409, 1, 0, 1}, true},
    {"WiderSecondRowSetsTheWidth", 720, 480, {500, 0, 0, 2, 14}, true},
    {"WiderFirstRowSetsTheWidth", 720, 480, {500, 0, 0, 14, 2}, true},
    {"WidestRowEndsAtRightEdge", 720, 480, {496, 0, 0, 2, 14}, false},
    {"EmptyBlockAtTheCorner", 720, 480, {720, 480, 3, 0, 0}, false},
    {"EmptyBlockOnePixelRight", 720, 480, {721, 0, 3, 0, 0}, true},
    {"EmptyBlockOnePixelDown", 720, 480, {0, 481, 3, 0, 0}, true},
};

INSTANTIATE_TEST_SUITE_P(Blocks, CheckTextRangeTest, testing::ValuesIn(kRangeCases), [](const auto& info) {
    return std::string(info.param.name);
});

constexpr TextBlock kFittingBlock = {0, 0, 0, 16, 16};
constexpr TextBlock kBlockPastEdge = {2000, 0, 0, 16, 16};

struct StatusTextCase {
    const char* name;
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
    std::optional<TextBlock> block;
    std::u8string text;
};

class StatusTextTest : public testing::TestWithParam<StatusTextCase> {};

TEST_P(StatusTextTest, ExactShiftJisText) {
    const StatusTextCase& c = GetParam();
    EXPECT_EQ(buildStatusText(statusFrom(c.bytes), c.block), sjis(c.text));
}

const StatusTextCase kStatusTextCases[] = {
    {"InterlacedModeInRange",
     {{24, 0x04}},
     kFittingBlock,
     u8"OSDパターン1を受信しました。\n入力解像度は1920×1080（i）です。"},
    {"ProgressiveModePastEdgeWarns",
     {{2, 0x01}, {24, 0x02}},
     kBlockPastEdge,
     u8"OSDパターン2を受信しました。\n入力解像度は720×480（p）です。"
     u8"\nOSD文字が範囲外にある可能性があります。\nポジションを確認してください。"},
    {"ExplicitResolution",
     {{2, 0xFF}, {3, 0x02}, {4, 0xD0}, {5, 0x01}, {6, 0xE0}, {7, 0x01}, {8, 0x80}},
     kFittingBlock,
     u8"OSDパターン4を受信しました。\n入力解像度は720×480（i）です。"},
    {"UnresolvedFormatMakesNoRangeCheck", {{2, 0xFE}, {7, 0x02}}, kBlockPastEdge, u8"OSDパターン3を受信しました。"},
    {"WithoutBlockNoWarning",
     {{24, 0x01}},
     std::nullopt,
     u8"OSDパターン1を受信しました。\n入力解像度は640×480（p）です。"},
    {"UnresolvedWithoutBlock", {}, std::nullopt, u8"OSDパターン1を受信しました。"},
};

INSTANTIATE_TEST_SUITE_P(Status, StatusTextTest, testing::ValuesIn(kStatusTextCases), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
}  // namespace sw::protocol
