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

struct ReadFormCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> shows;
};

void PrintTo(const ReadFormCase& c, std::ostream* os) {
    *os << c.name;
}

class CliReadForms : public ::testing::TestWithParam<ReadFormCase> {};

// Both forms hold everything the pass saw; a control cell is escaped in the text and carried in the preset.
TEST_P(CliReadForms, HoldEverySettingTheRowsAndTheSignal) {
    CliBench bench;
    sim::Ot40Settings settings = jobSettings();
    settings.row2[6] = 0x00;
    settings.row2[7] = 0x07;
    bench.model.setSettings(settings);
    bench.model.setSignal({1, 3, false, 0, 0, false});  // 1280x720p: the block at 1900 lies outside
    const CliRun result = bench.run(GetParam().args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const std::string& line : GetParam().shows)
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\nin:\n" << result.out;
    EXPECT_EQ(result.err, "") << "no progress when stderr is no terminal";
    // The panel's waits: six pauses of 500 ms at least.
    EXPECT_GE(bench.clock.now(), 3000);
}

INSTANTIATE_TEST_SUITE_P(
    Forms,
    CliReadForms,
    ::testing::Values(
        ReadFormCase{
            "Text",
            {"read"},
            {"H position:  1900\n", "V position:  700\n", "Size:        x3\n", "Halftone:    on\n",
             "Colour 1:    3 teal (" + utf8(u8"青緑") + ")\n", "Colour 2:    9 blue (" + utf8(u8"青") + ")\n",
             "Row 1:       " + utf8(u8"ＣＡＭ２") + "\n", "Row 2:       " + utf8(u8"カメラ") + "\\x07\n",
             "OSD pattern: 1\n", "Input:       1280x720p\n", "Warning:     the OSD text may lie outside the picture"}},
        ReadFormCase{"Json",
                     {"read", "--json"},
                     {"\"h\": 1900,",
                      "\"colour1\": 3,\n  \"colour1Name\": \"teal\",\n"
                      "  \"colour1NameJapanese\": \"" +
                          utf8(u8"青緑") + "\"",
                      "\"row2\": \"" + utf8(u8"カメラ\uFFFD") + "\",\n  \"row2Cells\": \"834A8381838900070000",
                      "\"osdPattern\": 1,",
                      "\"input\": {\n    \"width\": 1280,\n    \"height\": 720,\n    \"scan\": \"progressive\"",
                      "\"rangeWarning\": true"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliRead, ShowsProgressOnATerminal) {
    CliBench bench;
    const CliRun result = bench.run({"read"}, true);
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_NE(result.err.find("query 1 of 6"), std::string::npos);
    EXPECT_NE(result.err.find("query 6 of 6"), std::string::npos);
}

// A reply that echoes another query's code is that query's reply: the query sent is left without its own, and a
// read that misses any is no preset at all.
struct ForeignReplyCase {
    const char* name;
    std::uint8_t query;
    std::uint8_t answeredAs;
    std::string said;
};

void PrintTo(const ForeignReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class CliReadIncomplete : public ::testing::TestWithParam<ForeignReplyCase>, public CliBench {};

TEST_P(CliReadIncomplete, AQueryWithoutItsOwnAnswerIsExitOneAndNoOutput) {
    const ForeignReplyCase& c = GetParam();
    sim::Faults faults;
    faults.answerAs = std::pair{c.query, c.answeredAs};
    model.setFaults(faults);
    for (const char* form : {"--json", ""}) {
        std::vector<std::string> args{"read"};
        if (*form != '\0')
            args.push_back(form);
        const CliRun result = run(args);
        EXPECT_EQ(result.exitCode, 1) << form;
        EXPECT_EQ(result.out, "") << form;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachQuery,
    CliReadIncomplete,
    ::testing::Values(
        ForeignReplyCase{"Layout", 0x30, 0x39,
                         "query 1 of 6 (layout): the reply was the one to the row 2 query; read again\n"
                         "stampwright-cli: error: the read is incomplete, nothing is written: no answer of its own "
                         "to layout\n"},
        ForeignReplyCase{"Colour1", 0x34, 0x30, "no answer of its own to colour 1\n"},
        ForeignReplyCase{"Colour2", 0x35, 0x34, "no answer of its own to colour 2\n"},
        ForeignReplyCase{"Row1", 0x38, 0x39, "no answer of its own to row 1\n"},
        ForeignReplyCase{"Row2", 0x39, 0x3F, "no answer of its own to row 2\n"},
        ForeignReplyCase{"Status", 0x3F, 0x38, "(status): the reply was the one to the row 1 query"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliReadIncomplete, EveryQueryLeftWithoutAnAnswerIsNamed) {
    CliBench bench;
    bench.setFault([](sim::Faults& f) { f.unplugAfter = 2; });
    const CliRun result = bench.run({"read", "--json"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("no answer of its own to colour 1, colour 2, row 1, row 2, status\n"), std::string::npos)
        << result.err;
}

struct RoundTripCase {
    const char* name;
    sim::Ot40Settings settings;
    bool asThePanel;  // the panel's send puts the same commands on the wire
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

class CliRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CliRoundTrip, PresetFromReadPutsBackWhatWasRead) {
    const RoundTripCase& c = GetParam();
    // The panel: connect (read-back), then Send; its eight commands as the device got them.
    PanelBench panelBench;
    panelBench.model.setSettings(c.settings);
    panelBench.connect();
    panelBench.model.clearWireLog();
    panelBench.dialog.click(panel::IDC_SEND);
    const auto panelWire = wireBytes(panelBench.model);
    ASSERT_EQ(panelWire.size(), 8u);

    // The companion: read --json into a file, then send --preset from it.
    CliBench bench;
    bench.model.setSettings(c.settings);
    const CliRun read = bench.run({"read", "--json"});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    const std::string file = bench.writeFile("round-trip.json", read.out);

    bench.model.setSettings(sim::defaultSettings());
    bench.model.clearWireLog();
    const CliRun send = bench.run({"send", "--preset", file});
    ASSERT_EQ(send.exitCode, 0) << send.err;
    if (c.asThePanel) {
        EXPECT_EQ(wireBytes(bench.model), panelWire);
    }
    EXPECT_EQ(bench.model.settings(), c.settings) << read.out;
}

// Rows as the panel never writes them: half-width and space cells, a control cell, a lead byte without its trail
// byte, a cell after an empty one.
sim::Ot40Settings oddCells() {
    sim::Ot40Settings s = jobSettings();
    s.row2 = {0x00, 0x41, 0x00, 0x20, 0x00, 0x07, 0x81, 0x20, 0x00, 0x00, 0x82, 0xA0};
    return s;
}

// 髙橋 in the NEC-selected row (EE E0), which the system converts back to FB FC, a blank cell.
sim::Ot40Settings extensionRowKanji() {
    sim::Ot40Settings s = jobSettings();
    s.row1 = {0xEE, 0xE0, 0x8B, 0xB4, 0x82, 0x60};
    return s;
}

INSTANTIATE_TEST_SUITE_P(Rows,
                         CliRoundTrip,
                         ::testing::Values(RoundTripCase{"FullWidthRows", jobSettings(), true},
                                           RoundTripCase{"ExtensionRowKanji", extensionRowKanji(), true},
                                           RoundTripCase{"CellsThatAreNoText", oddCells(), false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PresetCase {
    const char* name;
    std::string json;
    int exitCode;
    std::vector<std::string> wire;  // "code:payload"
    std::string errContains;
};

class CliPresetTest : public ::testing::TestWithParam<PresetCase>, public CliBench {};

TEST_P(CliPresetTest, OnlyTheGivenKeysGoOut) {
    const PresetCase& c = GetParam();
    const CliRun result = run({"send", "--preset", writeFile(std::string(c.name) + ".json", c.json)});
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_EQ(wireCommands(), c.wire);
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
}

// As Windows PowerShell 5.1's ">" writes a file: UTF-16 little-endian after a byte-order mark.
std::string utf16WithMark(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// A half-width X in the first cell, as the panel never writes it.
const std::string kHalfwidthX = "0058" + std::string(60, '0');

const PresetCase kPresetCases[] = {
    {"RowOnly", R"({"version": 1, "row1": "ABC"})", 0, {"28:826082618262"}, ""},
    {"ColourNames",
     R"({"version": 1, "colour1": "white", "colour2": 12, "size": 2})",
     0,
     {"22:01", "24:" + sixteen("0F"), "25:" + sixteen("0C")},
     ""},
    {"UnknownKey", R"({"version": 1, "h": 5, "colour": 3})", 2, {}, "unknown key 'colour'"},
    {"RepeatedKey", R"({"version": 1, "h": 5, "h": 6})", 2, {}, "the key 'h' is given more than once"},
    {"ReadOnlyKeysIgnored",
     R"({"version": 1, "colour1": 1, "colour1Name": "navy", "osdPattern": 2, "input": null, "rangeWarning": true})",
     0,
     {"24:" + sixteen("01")},
     ""},
    {"NoVersion", R"({"h": 5})", 2, {}, "version"},
    {"OtherVersion", R"({"version": 2, "h": 5})", 2, {}, "version"},
    {"NotJson", "h=5", 2, {}, "not valid JSON at line 1, column 1"},
    {"NotJsonWhere",
     "{\"version\": 1,\n  \"row1\": \"\xC3\xA9\xC3\xA9\" x}",
     2,
     {},
     "not valid JSON at line 2, column 16"},
    {"VersionOnly", R"({"version": 1})", 2, {}, "holds no setting, and no setting is given beside it"},
    {"NotAnObject", "[1, 2]", 2, {}, "JSON object"},
    // Positions as the device reports them (up to 4095) go out as the panel sends them.
    {"PositionAboveTheLimit", R"({"version": 1, "v": 4000})", 0, {"21:07FF"}, "\"v\" 4000 goes out as 2047"},
    {"PositionBeyondTheDevice", R"({"version": 1, "v": 4096})", 2, {}, "\"v\": '4096' is out of range (0 to 4095)"},
    {"PositionNegative", R"({"version": 1, "h": -1})", 2, {}, "\"h\": '-1' is out of range"},
    {"PositionFraction", R"({"version": 1, "h": 12.5})", 2, {}, "\"h\": '12.5' is not a whole number"},
    {"PositionWholeFraction", R"({"version": 1, "h": 12.0})", 0, {"20:000C"}, ""},
    {"PositionBoolean", R"({"version": 1, "h": true})", 2, {}, "\"h\" must be a whole number (0 to 4095), not true"},
    {"PositionNull", R"({"version": 1, "h": null})", 2, {}, "not null"},
    {"SizeText", R"({"version": 1, "size": "4"})", 0, {"22:03"}, ""},
    {"SizeOutOfRange", R"({"version": 1, "size": 0})", 2, {}, "\"size\": '0' is out of range (1 to 4)"},
    {"HalftoneNotBool", R"({"version": 1, "halftone": "on"})", 2, {}, "true or false, not 'on'"},
    {"RowTooLong", R"({"version": 1, "row2": "ABCDEFGHIJKLMNOPQ"})", 2, {}, "16 cells"},
    {"RowNul", R"({"version": 1, "row2": "A\u0000B"})", 2, {}, "U+0000 is a control character"},
    {"Utf16WithMark", utf16WithMark(u"{\"version\": 1, \"h\": 9}"), 0, {"20:0009"}, ""},
    {"Utf8WithMark", "\xEF\xBB\xBF{\"version\": 1, \"h\": 9}", 0, {"20:0009"}, ""},
    {"NotUtf8", "{\"version\": 1, \"row1\": \"\xFF\"}", 2, {}, "not UTF-8"},
    // The cells a read gave go back as they were while the row's text is left; edited, every character left as it
    // was keeps its cell, and only the new ones are converted.
    {"CellsKeptWhileTextIsLeft",
     R"({"version": 1, "row1": "X", "row1Cells": ")" + kHalfwidthX + "\"}",
     0,
     {"28:0058"},
     ""},
    {"CellsOfAnEditedRow",
     R"({"version": 1, "row1": "XY", "row1Cells": ")" + kHalfwidthX + "\"}",
     0,
     {"28:00588278"},
     ""},
    {"CellsOfMovedCharacters",
     R"({"version": 1, "row1": "YX", "row1Cells": "00580059)" + std::string(56, '0') + "\"}",
     0,
     {"28:00590058"},
     ""},
    {"CellsOfAnEditedRowAroundTheEdit",
     R"({"version": 1, "row1": "A BC", "row1Cells": "004100200042)" + std::string(52, '0') + "\"}",
     0,
     {"28:0041002000428262"},
     ""},
    // A cell that is no text (a lone lead byte) stays the cell it was; the B typed after it is its own cell.
    {"CellsOfALoneLeadByteTakeNoTyping",
     R"({"version": 1, "row1": ")" + utf8(u8"Ａ\uFFFDB") + R"(", "row1Cells": "82600081)" + std::string(56, '0') +
         "\"}",
     0,
     {"28:826000818261"},
     ""},
    // A sound mark after a kept kanji is a character of its own: it is the one refused, not 髙.
    {"MarkAfterAKeptKanjiIsNamed",
     R"({"version": 1, "row1": ")" + utf8(u8"髙\u3099橋") + R"(", "row1Cells": "EEE08BB4)" + std::string(56, '0') +
         "\"}",
     2,
     {},
     "(U+3099) has no code page 932 form"},
    {"CellsMalformed", R"({"version": 1, "row1": "X", "row1Cells": "0058"})", 2, {}, "64 hexadecimal digits"},
    {"CellsWithoutTheirRow",
     R"({"version": 1, "row2Cells": ")" + kHalfwidthX + "\"}",
     2,
     {},
     "\"row2Cells\" needs \"row2\""},
};

INSTANTIATE_TEST_SUITE_P(Presets, CliPresetTest, ::testing::ValuesIn(kPresetCases), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
}  // namespace sw::test
