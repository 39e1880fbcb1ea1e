#include "protocol/reply_decoder.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "protocol/command_codes.h"
#include "tests/protocol/reply_printers.h"

namespace sw::protocol {
namespace {

using Bytes = std::vector<std::pair<std::size_t, std::uint8_t>>;

// A heap reply of exactly `length` bytes, so that a read past its end is caught by the address sanitizer.
std::vector<std::uint8_t> makeReply(std::size_t length, const Bytes& set) {
    std::vector<std::uint8_t> reply(length, 0);
    for (const auto& [index, value] : set) {
        reply.at(index) = value;
    }
    return reply;
}

LayoutReply layout(std::uint16_t h, std::uint16_t v, std::uint8_t size, bool halftone) {
    return {h, v, size, halftone};
}

StatusReply status(int pattern, bool isExplicit, std::uint16_t w, std::uint16_t h, bool interlaced, std::uint8_t mode) {
    return {pattern, isExplicit, w, h, interlaced, mode};
}

struct DecodeCase {
    const char* name;
    std::size_t length;
    Bytes bytes;
    DecodedReply expected;
};

class DecodeReplyTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeReplyTest, DecodesByEchoCode) {
    const DecodeCase& c = GetParam();
    const auto reply = makeReply(c.length, c.bytes);
    EXPECT_EQ(decodeReply(reply), c.expected);
}

TEST_P(DecodeReplyTest, ReportIdByteNeverChangesTheOutcome) {
    const DecodeCase& c = GetParam();
    for (const std::uint8_t id : {0x01, 0x30, 0x80, 0xFF}) {
        auto reply = makeReply(c.length, c.bytes);
        reply[0] = id;
        EXPECT_EQ(decodeReply(reply), c.expected) << "byte 0 = " << int{id};
    }
}

const DecodeCase kDecodeCases[] = {
    {"LayoutAtTheRightEdgeLargestSizeHalftoneOn",
     64,
     {{1, 0x30}, {2, 0x07}, {3, 0xFF}, {6, 0x03}, {7, 0x01}},
     layout(2047, 0, 3, true)},
    {"LayoutDropsUpperNibbleOfHighPositionBytes",
     64,
     {{1, 0x30}, {2, 0xF1}, {3, 0x23}, {4, 0xA4}, {5, 0x56}},
     layout(0x123, 0x456, 0, false)},
    {"LayoutShowsPositionsUpTo4095",
     64,
     {{1, 0x30}, {2, 0x0F}, {3, 0xFF}, {4, 0x0F}, {5, 0xFF}},
     layout(4095, 4095, 0, false)},
    {"LayoutSizeFromLowTwoBitsHalftoneFromBitZero", 64, {{1, 0x30}, {6, 0x06}, {7, 0xFE}}, layout(0, 0, 2, false)},
    {"LayoutIgnoresHighBitsOfSizeAndHalftone", 64, {{1, 0x30}, {6, 0xFD}, {7, 0x81}}, layout(0, 0, 1, true)},
    {"FirstColourTakesLowNibble", 64, {{1, 0x34}, {2, 0x1A}}, ColourReply{1, 10}},
    {"SecondColour", 64, {{1, 0x35}, {2, 0x0F}, {3, 0x07}}, ColourReply{2, 15}},
    {"StatusPatternFromLowTwoBitsModeFromLowThreeBits",
     64,
     {{1, 0x3F}, {2, 0xFE}, {24, 0xF9}},
     status(3, false, 0, 0, false, 1)},
    {"StatusExplicitInterlacedResolution",
     64,
     {{1, 0x3F}, {3, 0xF2}, {4, 0xD0}, {5, 0xF1}, {6, 0xE0}, {7, 0x01}, {8, 0x80}},
     status(1, true, 720, 480, true, 0)},
    {"StatusExplicitFlagIsOnlyTheValueOne", 64, {{1, 0x3F}, {7, 0x03}, {8, 0x7F}}, status(1, false, 0, 0, false, 0)},
    {"StatusIgnoresBytesBetweenFlagsAndMode",
     64,
     {{1, 0x3F}, {9, 0xFF}, {23, 0xFF}, {25, 0xFF}},
     status(1, false, 0, 0, false, 0)},
    {"UnusedQueryCodeIsUnrecognised", 64, {{1, 0x31}, {2, 0x07}}, UnrecognisedReply{}},
    {"ZeroEchoIsUnrecognised", 64, {}, UnrecognisedReply{}},
    {"SettingCommandCodeIsUnrecognised", 64, {{1, 0x20}}, UnrecognisedReply{}},
    {"CodeNextToStatusIsUnrecognised", 64, {{1, 0x3E}}, UnrecognisedReply{}},
    {"ReplyWithoutEchoByte", 1, {}, UnrecognisedReply{}},
    {"LayoutOneByteShort", kLayoutReplyLength - 1, {{1, 0x30}}, UnrecognisedReply{}},
    {"LayoutJustLongEnough", kLayoutReplyLength, {{1, 0x30}, {3, 0x05}, {7, 0x01}}, layout(5, 0, 0, true)},
    {"ColourOneByteShort", kColourReplyLength - 1, {{1, 0x34}}, UnrecognisedReply{}},
    {"ColourJustLongEnough", kColourReplyLength, {{1, 0x35}, {2, 0x03}}, ColourReply{2, 3}},
    {"RowOneByteShort", kRowReplyLength - 1, {{1, 0x38}}, UnrecognisedReply{}},
    {"RowJustLongEnough",
     kRowReplyLength,
     {{1, 0x39}, {33, 0x41}},
     RowReply{2, "A", 16, cellBytes(std::string(31, '\0') + "A")}},
    {"StatusOneByteShort", kStatusReplyLength - 1, {{1, 0x3F}}, UnrecognisedReply{}},
    {"StatusJustLongEnough", kStatusReplyLength, {{1, 0x3F}, {24, 0x07}}, status(1, false, 0, 0, false, 7)},
};

INSTANTIATE_TEST_SUITE_P(Replies, DecodeReplyTest, testing::ValuesIn(kDecodeCases), [](const auto& info) {
    return std::string(info.param.name);
});

TEST(DecodeReply, RowRepliesCarryTheirRowTextAndCount) {
    const auto row1 = makeReply(64, {{1, 0x38}, {2, 0x82}, {3, 0x60}, {5, 0x20}, {6, 0x82}, {7, 0x61}, {40, 0x41}});
    EXPECT_EQ(decodeReply(row1),
              DecodedReply(RowReply{1, "\x82\x60 \x82\x61", 3, cellBytes(std::string("\x82\x60\x00\x20\x82\x61", 6))}));

    const auto row2 = makeReply(64, {{1, 0x39}, {5, 0x42}});
    EXPECT_EQ(decodeReply(row2), DecodedReply(RowReply{2, "B", 2, cellBytes(std::string("\x00\x00\x00\x42", 4))}));
}

TEST(DecodeReply, EmptyReplyIsUnrecognised) {
    const std::vector<std::uint8_t> empty;
    EXPECT_EQ(decodeReply(empty), DecodedReply(UnrecognisedReply{}));
}

TEST(DecodeReply, EveryQueryCodeHasADecoder) {
    for (const QueryCode code : kQueryOrder) {
        const auto reply = makeReply(64, {{1, static_cast<std::uint8_t>(code)}});
        EXPECT_FALSE(std::holds_alternative<UnrecognisedReply>(decodeReply(reply))) << int(code);
    }
}

TEST(DecodeReply, OnlyTheSixQueryCodesAreRecognised) {
    int recognised = 0;
    for (int code = 0; code <= 0xFF; ++code) {
        const auto reply = makeReply(64, {{1, static_cast<std::uint8_t>(code)}});
        recognised += std::holds_alternative<UnrecognisedReply>(decodeReply(reply)) ? 0 : 1;
    }
    EXPECT_EQ(recognised, 6);
}

}  // namespace
}  // namespace sw::protocol
