#include "protocol/text_cells.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "protocol/reply_decoder.h"

namespace sw::protocol {
namespace {

struct Cell {
    std::size_t index;
    std::uint8_t first;
    std::uint8_t second;
};

// A heap row reply of `length` bytes with the given cells; every other cell is empty.
std::vector<std::uint8_t> rowReply(const std::vector<Cell>& cells, std::size_t length = kRowReplyLength) {
    std::vector<std::uint8_t> reply(length, 0);
    reply[1] = 0x38;
    for (const Cell& c : cells) {
        reply.at(2 + 2 * c.index) = c.first;
        reply.at(3 + 2 * c.index) = c.second;
    }
    return reply;
}

struct RowCase {
    const char* name;
    std::vector<Cell> cells;
    std::string text;
    int cellCount;
};

class ReceivedRowTest : public testing::TestWithParam<RowCase> {};

TEST_P(ReceivedRowTest, TextAndCellCount) {
    const RowCase& c = GetParam();
    const auto reply = rowReply(c.cells);
    EXPECT_EQ(decodeRowCells(reply), c.text);
    EXPECT_EQ(countRowCells(reply), c.cellCount);
}

std::vector<Cell> sixteen(std::uint8_t first, std::uint8_t second) {
    std::vector<Cell> cells;
    for (std::size_t k = 0; k < 16; ++k) {
        cells.push_back({k, first, second});
    }
    return cells;
}

std::string repeat(const std::string& piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) {
        s += piece;
    }
    return s;
}

const RowCase kRowCases[] = {
    {"AllCellsEmpty", {}, "", 0},
    {"EmptyCellBetweenCharactersClosesUp", {{0, 0x00, 0x41}, {2, 0x00, 0x42}}, "AB", 3},
    {"DoubleByteCharacterInLastCell", {{15, 0x82, 0xA0}}, "\x82\xA0", 16},
    {"FirstByteBelowLeadRangeIsDropped", {{0, 0x41, 0x42}}, "B", 1},
    {"FullWidthAndSpaceCells", {{0, 0x82, 0x60}, {1, 0x00, 0x20}, {2, 0x82, 0x61}}, "\x82\x60 \x82\x61", 3},
    {"CellWithOnlyAFirstByteIsEmpty", {{0, 0x05, 0x00}}, "", 0},
    {"LowestLeadByte", {{0, 0x80, 0x41}}, std::string{'\x80', 'A'}, 1},
    {"HighestFirstByteBelowLead", {{0, 0x7F, 0x41}}, "A", 1},
    {"HalfwidthKanaFirstByteReadsAsTwoCharacters", {{0, 0xB6, 0xB1}}, "\xB6\xB1", 1},
    {"SixteenSingleByteCharacters", sixteen(0x00, 0x5A), std::string(16, 'Z'), 16},
    {"SixteenDoubleByteCharacters", sixteen(0x88, 0x9F), repeat("\x88\x9F", 16), 16},
    // A lead byte without its trail would put a zero into the text and cut off everything after it.
    {"LeadByteWithZeroSecondAddsNothingBeforeText", {{0, 0x82, 0x00}, {1, 0x00, 0x41}}, "A", 2},
    {"LeadByteWithZeroSecondIsNotCounted", {{0, 0x00, 0x41}, {5, 0xFF, 0x00}}, "A", 1},
};

INSTANTIATE_TEST_SUITE_P(Cells, ReceivedRowTest, testing::ValuesIn(kRowCases), [](const auto& info) {
    return std::string(info.param.name);
});

TEST(ReceivedRow, TextNeverHoldsAZeroByte) {
    for (int first = 0; first <= 0xFF; ++first) {
        const auto reply = rowReply({{0, static_cast<std::uint8_t>(first), 0x00}, {1, 0x00, 0x41}});
        EXPECT_EQ(decodeRowCells(reply), "A") << "first byte " << first;
    }
}

TEST(ReceivedRow, FirstBytesPlayNoPartInTheCount) {
    std::vector<Cell> cells = sixteen(0x9F, 0x00);
    cells[3] = {3, 0x00, 0x20};
    EXPECT_EQ(countRowCells(rowReply(cells)), 4);
}

TEST(ReceivedRow, NothingAfterTheLastCellIsRead) {
    auto reply = rowReply({{0, 0x00, 0x41}}, 64);
    reply[34] = 0x42;
    reply[35] = 0x43;
    EXPECT_EQ(decodeRowCells(reply), "A");
    EXPECT_EQ(countRowCells(reply), 1);
}

TEST(ReceivedRow, ReplyTooShortForSixteenCellsGivesNothing) {
    const auto reply = rowReply({{0, 0x00, 0x41}}, kRowReplyLength - 1);
    EXPECT_EQ(decodeRowCells(reply), "");
    EXPECT_EQ(countRowCells(reply), 0);
}

struct CombinedCase {
    const char* name;
    std::vector<std::pair<int, std::string>> replies;
    std::string combined;
};

class CombinedTextTest : public testing::TestWithParam<CombinedCase> {};

TEST_P(CombinedTextTest, RowTwoBringsTheLineBreak) {
    std::string combined;
    for (const auto& [row, text] : GetParam().replies) {
        appendToCombinedText(combined, row, text);
    }
    EXPECT_EQ(combined, GetParam().combined);
}

const CombinedCase kCombinedCases[] = {
    {"BothRows", {{1, "AB"}, {2, "CD"}}, "AB\r\nCD"},
    {"OnlyRowOne", {{1, "AB"}}, "AB"},
    {"OnlyRowTwo", {{2, "CD"}}, "\r\nCD"},
    {"EmptyRowTwo", {{1, "AB"}, {2, ""}}, "AB\r\n"},
    {"RowOneTwice", {{1, "AB"}, {1, "X"}, {2, "CD"}}, "ABX\r\nCD"},
};

INSTANTIATE_TEST_SUITE_P(Passes, CombinedTextTest, testing::ValuesIn(kCombinedCases), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
}  // namespace sw::protocol
