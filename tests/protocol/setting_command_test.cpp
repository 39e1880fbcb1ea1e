#include "protocol/setting_command.h"

#include <gtest/gtest.h>

#include <vector>

#include "protocol/query_request.h"
#include "protocol/row_encoder.h"

namespace sw::protocol {
namespace {

// Bytes a builder must not touch keep this value, so any stray write shows.
constexpr std::uint8_t kUntouched = 0xEE;

std::vector<std::uint8_t> cellsOf(const char* text) {
    const EncodedRow row =
        encodeRowText(std::span(reinterpret_cast<const std::uint8_t*>(text), std::char_traits<char>::length(text)));
    return {row.bytes.begin(), row.bytes.begin() + static_cast<std::ptrdiff_t>(row.length)};
}

std::vector<std::uint8_t> repeated(std::uint8_t value, std::size_t count) {
    return std::vector<std::uint8_t>(count, value);
}

struct CommandCase {
    const char* name;
    SettingCommand command;
    std::uint16_t number;
    std::vector<std::uint8_t> cells;
    std::vector<std::uint8_t> payload;  // from byte 2; zeros follow up to byte 64
};

struct BuildCase {
    CommandCase command;
    std::size_t reportLength;
};

class BuildSettingCommandTest : public testing::TestWithParam<BuildCase> {};

TEST_P(BuildSettingCommandTest, WritesTheCommandFrameOnly) {
    const CommandCase& c = GetParam().command;
    std::vector<std::uint8_t> report(GetParam().reportLength, kUntouched);
    ASSERT_TRUE(buildSettingCommand(c.command, {c.number, c.cells}, report));

    std::vector<std::uint8_t> expected(report.size(), kUntouched);
    expected[1] = static_cast<std::uint8_t>(c.command);
    std::fill(expected.begin() + 2, expected.begin() + 65, std::uint8_t{0});
    std::copy(c.payload.begin(), c.payload.end(), expected.begin() + 2);
    EXPECT_EQ(report, expected);
}

const CommandCase kCommandCases[] = {
    {"HPositionBelowLimit", SettingCommand::SetHPosition, clampPosition(2046), {}, {0x07, 0xFE}},
    {"HPositionAtLimit", SettingCommand::SetHPosition, clampPosition(2047), {}, {0x07, 0xFF}},
    {"HPositionAboveLimit", SettingCommand::SetHPosition, clampPosition(9999), {}, {0x07, 0xFF}},
    {"HPositionZero", SettingCommand::SetHPosition, 0, {}, {}},
    {"VPositionHighByteFirst", SettingCommand::SetVPosition, 1000, {}, {0x03, 0xE8}},
    {"SizeTimesThree", SettingCommand::SetSize, 2, {}, {0x02}},
    {"HalftoneOn", SettingCommand::SetHalftone, 1, {}, {0x01}},
    {"HalftoneOff", SettingCommand::SetHalftone, 0, {}, {}},
    {"Colour1SixteenCopies", SettingCommand::SetColor1, 5, {}, repeated(0x05, 16)},
    {"Colour2LowEightBits", SettingCommand::SetColor2, 0x10F, {}, repeated(0x0F, 16)},
    {"Row1Cells", SettingCommand::SetRow1, 0, cellsOf("ABC"), {0x82, 0x60, 0x82, 0x61, 0x82, 0x62}},
    {"Row2EmptyText", SettingCommand::SetRow2, 0, cellsOf(""), {}},
    {"Row2SixteenCells", SettingCommand::SetRow2, 0, repeated(0x88, 32), repeated(0x88, 32)},
    {"RowCellsBeyondSixteenIgnored", SettingCommand::SetRow1, 0, repeated(0x88, 40), repeated(0x88, 32)},
};

std::vector<BuildCase> buildCases() {
    std::vector<BuildCase> cases;
    for (const CommandCase& c : kCommandCases) {
        for (const std::size_t length : {std::size_t{65}, std::size_t{80}}) {
            cases.push_back({c, length});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Commands, BuildSettingCommandTest, testing::ValuesIn(buildCases()), [](const auto& info) {
    return std::string(info.param.command.name) + "_Report" + std::to_string(info.param.reportLength);
});

TEST(BuildSettingCommand, ShortReportIsRefusedAndLeftUntouched) {
    for (const SettingCommand command : kSendOrder) {
        std::vector<std::uint8_t> report(kCommandFrameLength - 1, kUntouched);
        const std::vector<std::uint8_t> cells = repeated(0x88, 32);
        EXPECT_FALSE(buildSettingCommand(command, {2047, cells}, report));
        EXPECT_EQ(report, repeated(kUntouched, kCommandFrameLength - 1));
    }
}

TEST(ClampPosition, LimitsToTheLargestPosition) {
    EXPECT_EQ(clampPosition(0), 0);
    EXPECT_EQ(clampPosition(2046), 2046);
    EXPECT_EQ(clampPosition(2047), 2047);
    EXPECT_EQ(clampPosition(2048), 2047);
    EXPECT_EQ(clampPosition(9999), 2047);
    EXPECT_EQ(clampPosition(0x1'0000u + 5), 2047);
}

class BuildQueryRequestTest : public testing::TestWithParam<std::size_t> {};

TEST_P(BuildQueryRequestTest, CodeThenZerosToTheEndOfTheFrame) {
    for (const QueryCode code : kQueryOrder) {
        std::vector<std::uint8_t> report(GetParam(), kUntouched);
        ASSERT_TRUE(buildQueryRequest(code, report));
        std::vector<std::uint8_t> expected(report.size(), kUntouched);
        expected[1] = static_cast<std::uint8_t>(code);
        std::fill(expected.begin() + 2, expected.begin() + 65, std::uint8_t{0});
        EXPECT_EQ(report, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(ReportLengths, BuildQueryRequestTest, testing::Values(65, 80));

TEST(BuildQueryRequest, ShortReportIsRefusedAndLeftUntouched) {
    std::vector<std::uint8_t> report(kCommandFrameLength - 1, kUntouched);
    EXPECT_FALSE(buildQueryRequest(QueryCode::QueryStatus, report));
    EXPECT_EQ(report, repeated(kUntouched, kCommandFrameLength - 1));
}

}  // namespace
}  // namespace sw::protocol
