// The command line against the simulated device: what each input puts on the wire, and the exit codes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/cli_bench.h"

namespace sw::test {
namespace {

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::vector<int> wire;    // codes the device received, in order
    std::string errContains;  // "" when nothing in particular
};

class CliOptionTest : public ::testing::TestWithParam<OptionCase>, public CliBench {};

TEST_P(CliOptionTest, ExitCodeAndWire) {
    const OptionCase& c = GetParam();
    const CliRun result = run(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_EQ(wireCodes(), c.wire);
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
    if (c.exitCode == 2) {
        EXPECT_EQ(link.openCount(), 0) << "bad input must not even open the device";
    }
}

const std::string k17 = "ABCDEFGHIJKLMNOPQ";

const OptionCase kOptionCases[] = {
    {"HOnly", {"send", "--h", "100"}, 0, {0x20}, ""},
    {"HAtLimit", {"send", "--h", "2047"}, 0, {0x20}, ""},
    {"HAboveLimit", {"send", "--h", "2048"}, 2, {}, "above 2047"},
    {"HNotNumber", {"send", "--h", "12a"}, 2, {}, "not a number"},
    {"VHex", {"send", "--v", "0x10"}, 2, {}, "not a number"},
    {"SizeFour", {"send", "--size", "4"}, 0, {0x22}, ""},
    {"SizeFive", {"send", "--size", "5"}, 2, {}, "size"},
    {"HalftoneOn", {"send", "--halftone", "on"}, 0, {0x23}, ""},
    {"HalftoneBad", {"send", "--halftone", "yes"}, 2, {}, "halftone"},
    {"ColourIndex", {"send", "--colour1", "15"}, 0, {0x24}, ""},
    {"ColourEnglish", {"send", "--colour2", "Fuchsia"}, 0, {0x25}, ""},
    {"ColourGray", {"send", "--color1", "gray"}, 0, {0x24}, ""},
    {"ColourJapanese", {"send", "--colour1", utf8(u8"青緑")}, 0, {0x24}, ""},
    {"ColourSixteen", {"send", "--colour1", "16"}, 2, {}, "unknown colour"},
    {"ColourUnknown", {"send", "--colour2", "pink"}, 2, {}, "unknown colour 'pink'"},
    {"RowEmptyClears", {"send", "--row2", ""}, 0, {0x29}, ""},
    {"RowSixteenCells", {"send", "--row1", k17.substr(0, 16)}, 0, {0x28}, ""},
    {"RowSeventeenCells", {"send", "--row1", k17}, 2, {}, "16 cells"},
    {"RowVoicedPairIsOneCell", {"send", "--row1", k17.substr(0, 15) + utf8(u8"ｶﾞ")}, 0, {0x28}, ""},
    {"RowUnmappable", {"send", "--row1", utf8(u8"Aé")}, 2, {}, utf8(u8"'é'")},
    {"RowEmoji", {"send", "--row2", utf8(u8"\U0001F600")}, 2, {}, "code page 932"},
    {"PanelOrder",
     {"send", "--row2", "X", "--colour2", "red", "--h", "1", "--halftone", "off", "--v", "2"},
     0,
     {0x20, 0x21, 0x23, 0x25, 0x29},
     ""},
    {"BadValueAmongGood", {"send", "--h", "100", "--row1", "OK", "--size", "9"}, 2, {}, "size"},
    {"NothingToSend", {"send"}, 2, {}, "nothing to send"},
    {"UnknownOption", {"send", "--bogus", "1"}, 2, {}, "bogus"},
    {"NoCommand", {}, 2, {}, ""},
    {"MissingPreset", {"send", "--preset", "/nonexistent/preset.json"}, 2, {}, "cannot read"},
    {"Help", {"--help"}, 0, {}, ""},
};

INSTANTIATE_TEST_SUITE_P(Options, CliOptionTest, ::testing::ValuesIn(kOptionCases), [](const auto& info) {
    return std::string(info.param.name);
});

TEST(CliList, PrintsTheInterfaceWithItsReportLengths) {
    CliBench bench;
    bench.model.setReportLengths(64, 65);
    const CliRun result = bench.run({"list"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, std::string(sim::kDefaultInterfacePath) + "\tinput 64\toutput 65\n");
    EXPECT_TRUE(bench.model.wireLog().empty());
    EXPECT_FALSE(bench.link.IsOpen());
}

TEST(CliVersion, PrintsTheProjectVersion) {
    CliBench bench;
    const CliRun result = bench.run({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "1.0.0\n");
}

// One command, exactly as the panel builds it: report ID 0, the code, the cells, zeros to the end.
TEST(CliSend, Row1AloneIsOneCommandWithTheEncodedCells) {
    CliBench bench;
    const CliRun result = bench.run({"send", "--row1", "ABC"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(bench.model.wireLog().size(), 1u);
    std::vector<std::uint8_t> expected(65, 0);
    expected[1] = 0x28;
    const std::uint8_t cells[] = {0x82, 0x60, 0x82, 0x61, 0x82, 0x62};
    std::copy(std::begin(cells), std::end(cells), expected.begin() + 2);
    EXPECT_EQ(bench.model.wireLog()[0].bytes, expected);
    EXPECT_EQ(bench.link.closeCount(), 1);
}

struct FaultCase {
    const char* name;
    std::vector<std::string> args;
    void (*fault)(sim::Faults&);
    std::vector<int> wire;
    std::string errContains;
};

class CliFaultTest : public ::testing::TestWithParam<FaultCase>, public CliBench {};

TEST_P(CliFaultTest, DeviceFailureIsExitOneWithTheStep) {
    const FaultCase& c = GetParam();
    setFault(c.fault);
    const CliRun result = run(c.args);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(wireCodes(), c.wire);
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
}

const FaultCase kFaultCases[] = {
    {"LateReply",
     {"read"},
     [](sim::Faults& f) { f.answerLate = true; },
     {0x30},
     "query 1 of 6 (layout): reception failed (no reply waiting)"},
    {"UnrecognisedEcho",
     {"read"},
     [](sim::Faults& f) { f.echoCode = 0x77; },
     {0x30, 0x34, 0x35, 0x38, 0x39, 0x3F},
     "query 6 of 6 (status): reception failed (unrecognised reply)"},
    {"ListUnplugged", {"list"}, [](sim::Faults& f) { f.unplugAfter = 0; }, {}, "was not found"},
    {"UnpluggedBeforeRead", {"read"}, [](sim::Faults& f) { f.unplugAfter = 0; }, {}, "was not found"},
    {"UnpluggedDuringRead",
     {"read"},
     [](sim::Faults& f) { f.unplugAfter = 2; },
     {0x30, 0x34},
     "query 2 of 6 (colour 1): reception failed (no reply waiting); reconnect"},
    {"UnpluggedDuringSend",
     {"send", "--h", "1", "--v", "2", "--size", "3"},
     [](sim::Faults& f) { f.unplugAfter = 2; },
     {0x20, 0x21},
     "sending size (command 3 of 3) failed; sending may have failed"},
    {"StalledFirstWrite",
     {"send", "--row1", "A"},
     [](sim::Faults& f) { f.stallFrom = 1; },
     {},
     "sending row 1 (command 1 of 1) failed; sending failed, reconnect"},
};

INSTANTIATE_TEST_SUITE_P(Faults, CliFaultTest, ::testing::ValuesIn(kFaultCases), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
}  // namespace sw::test
