// read: the text report, the progress on a terminal, and the read -> preset -> send round trip, which must put on
// the wire exactly what the panel's own send would after its read-back.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "panel/control_ids.h"
#include "tests/cli/cli_bench.h"
#include "tests/panel/panel_fixture.h"

namespace sw::test {
namespace {

// Settings that differ from the power-on ones in every field, with a Japanese row.
sim::Ot40Settings jobSettings() {
    sim::Ot40Settings s = sim::defaultSettings();
    s.hPosition = 1900;
    s.vPosition = 700;
    s.sizeIndex = 2;
    s.halftone = true;
    s.colour1 = 3;
    s.colour2 = 9;
    s.row1 = fullwidthCells("CAM2");
    const std::uint8_t kana[] = {0x83, 0x4A, 0x83, 0x81, 0x83, 0x89};  // カメラ
    s.row2 = {};
    std::copy(std::begin(kana), std::end(kana), s.row2.begin());
    return s;
}

std::vector<std::vector<std::uint8_t>> wireBytes(const sim::Ot40Model& model) {
    std::vector<std::vector<std::uint8_t>> bytes;
    for (const auto& entry : model.wireLog())
        bytes.push_back(entry.bytes);
    return bytes;
}

TEST(CliRead, PrintsEverySettingTheRowsAndTheSignal) {
    CliBench bench;
    bench.model.setSettings(jobSettings());
    bench.model.setSignal({1, 3, false, 0, 0, false});  // 1280x720p: the block at 1900 lies outside
    const CliRun result = bench.run({"read"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const std::string& line : {
             std::string("H position:  1900\n"),
             std::string("V position:  700\n"),
             std::string("Size:        x3\n"),
             std::string("Halftone:    on\n"),
             "Colour 1:    3 teal (" + utf8(u8"青緑") + ")\n",
             "Colour 2:    9 blue (" + utf8(u8"青") + ")\n",
             "Row 1:       " + utf8(u8"ＣＡＭ２") + "\n",
             "Row 2:       " + utf8(u8"カメラ") + "\n",
             std::string("OSD pattern: 1\n"),
             std::string("Input:       1280x720p\n"),
             std::string("Warning:     the OSD text may lie outside the picture"),
         })
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\nin:\n" << result.out;
    EXPECT_EQ(result.err, "") << "no progress when stderr is no terminal";
    // The panel's waits: six pauses of 500 ms at least.
    EXPECT_GE(bench.clock.now(), 3000);
}

TEST(CliRead, ShowsProgressOnATerminal) {
    CliBench bench;
    const CliRun result = bench.run({"read"}, true);
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_NE(result.err.find("query 1 of 6"), std::string::npos);
    EXPECT_NE(result.err.find("query 6 of 6"), std::string::npos);
}

TEST(CliRoundTrip, PresetFromReadSendsWhatThePanelSends) {
    // The panel: connect (read-back), then Send; its eight commands as the device got them.
    PanelBench panelBench;
    panelBench.model.setSettings(jobSettings());
    panelBench.connect();
    panelBench.model.clearWireLog();
    panelBench.dialog.click(panel::IDC_SEND);
    const auto panelWire = wireBytes(panelBench.model);
    ASSERT_EQ(panelWire.size(), 8u);

    // The companion: read --json into a file, then send --preset from it.
    CliBench bench;
    bench.model.setSettings(jobSettings());
    const CliRun read = bench.run({"read", "--json"});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_NE(read.out.find("\"row2\": \"" + utf8(u8"カメラ") + "\""), std::string::npos) << read.out;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("sw-cli-preset-" + std::to_string(::getpid()) + ".json");
    std::ofstream(file) << read.out;

    bench.model.setSettings(sim::defaultSettings());
    bench.model.clearWireLog();
    const CliRun send = bench.run({"send", "--preset", file.string()});
    std::filesystem::remove(file);
    ASSERT_EQ(send.exitCode, 0) << send.err;
    EXPECT_EQ(wireBytes(bench.model), panelWire);
    EXPECT_EQ(bench.model.settings(), jobSettings());
}

struct PresetCase {
    const char* name;
    std::string json;
    int exitCode;
    std::vector<int> wire;
    std::string errContains;
};

class CliPresetTest : public ::testing::TestWithParam<PresetCase>, public CliBench {};

TEST_P(CliPresetTest, OnlyTheGivenKeysGoOut) {
    const PresetCase& c = GetParam();
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("sw-cli-" + std::string(c.name) + "-" + std::to_string(::getpid()) + ".json");
    std::ofstream(file) << c.json;
    const CliRun result = run({"send", "--preset", file.string()});
    std::filesystem::remove(file);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_EQ(wireCodes(), c.wire);
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
}

const PresetCase kPresetCases[] = {
    {"RowOnly", R"({"version": 1, "row1": "ABC"})", 0, {0x28}, ""},
    {"ColourNames", R"({"version": 1, "colour1": "white", "colour2": 12, "size": 2})", 0, {0x22, 0x24, 0x25}, ""},
    {"UnknownKey", R"({"version": 1, "h": 5, "colour": 3})", 2, {}, "unknown key \"colour\""},
    {"NoVersion", R"({"h": 5})", 2, {}, "version"},
    {"OtherVersion", R"({"version": 2, "h": 5})", 2, {}, "version"},
    {"NotJson", "h=5", 2, {}, "not valid JSON"},
    {"NotAnObject", "[1, 2]", 2, {}, "JSON object"},
    {"PositionTooLarge", R"({"version": 1, "v": 4000})", 2, {}, "above 2047"},
    {"HalftoneNotBool", R"({"version": 1, "halftone": "on"})", 2, {}, "true or false"},
    {"RowTooLong", R"({"version": 1, "row2": "ABCDEFGHIJKLMNOPQ"})", 2, {}, "16 cells"},
};

INSTANTIATE_TEST_SUITE_P(Presets, CliPresetTest, ::testing::ValuesIn(kPresetCases), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
}  // namespace sw::test
