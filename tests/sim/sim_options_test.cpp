#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace sw::sim {
namespace {

SimOptionsResult parse(std::vector<std::string_view> args) {
    return parseSimOptions(args);
}

struct OptionCase {
    std::string name;
    std::vector<std::string_view> args;
    std::function<void(SimOptions&)> expectedChange;  // applied to the defaults
};
void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << c.name;
}

bool sameOptions(const SimOptions& a, const SimOptions& b) {
    return a.showHelp == b.showHelp && a.ignoreStdin == b.ignoreStdin && a.pipePath == b.pipePath &&
           a.inputReportLength == b.inputReportLength && a.outputReportLength == b.outputReportLength &&
           a.answerDelay == b.answerDelay && a.signal == b.signal && a.faults == b.faults && a.uhid == b.uhid &&
           a.keepReplies == b.keepReplies && a.wireLogPath == b.wireLogPath && a.settings == b.settings &&
           a.port == b.port && a.serial == b.serial;
}

class SimOptionsParse : public ::testing::TestWithParam<OptionCase> {};

TEST_P(SimOptionsParse, SetsExactlyWhatTheArgumentsName) {
    const OptionCase& c = GetParam();
    SimOptions expected;
    c.expectedChange(expected);

    const SimOptionsResult r = parse(c.args);

    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(sameOptions(r.options, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Options,
    SimOptionsParse,
    ::testing::Values(
        OptionCase{"NoArgumentsGiveTheDefaults", {}, [](SimOptions&) {}},
        OptionCase{"Help", {"--help"}, [](SimOptions& o) { o.showHelp = true; }},
        OptionCase{"Pipe", {"--pipe", "\\\\.\\pipe\\x"}, [](SimOptions& o) { o.pipePath = "\\\\.\\pipe\\x"; }},
        OptionCase{"Lengths",
                   {"--input-length", "34", "--output-length", "0"},
                   [](SimOptions& o) {
                       o.inputReportLength = 34;
                       o.outputReportLength = 0;
                   }},
        OptionCase{"SignalModeAndPattern",
                   {"--signal-mode", "0", "--pattern", "4"},
                   [](SimOptions& o) {
                       o.signal.signalMode = 0;
                       o.signal.osdPattern = 4;
                   }},
        OptionCase{"InterlacedResolution",
                   {"--resolution", "720x480i"},
                   [](SimOptions& o) {
                       o.signal.explicitResolution = true;
                       o.signal.width = 720;
                       o.signal.height = 480;
                       o.signal.interlaced = true;
                   }},
        OptionCase{"ProgressiveResolution",
                   {"--resolution", "4095x1"},
                   [](SimOptions& o) {
                       o.signal.explicitResolution = true;
                       o.signal.width = 4095;
                       o.signal.height = 1;
                   }},
        OptionCase{"AnswerDelay", {"--answer-delay", "250"}, [](SimOptions& o) { o.answerDelay = 250; }},
        OptionCase{"FlagFaults",
                   {"--late", "--drop", "--answer-settings", "--ignore-stdin"},
                   [](SimOptions& o) {
                       o.faults.answerLate = true;
                       o.faults.dropAnswers = true;
                       o.faults.answerSettings = true;
                       o.ignoreStdin = true;
                   }},
        OptionCase{"HexEcho", {"--echo", "0x31"}, [](SimOptions& o) { o.faults.echoCode = 0x31; }},
        OptionCase{"DecimalEcho", {"--echo", "0"}, [](SimOptions& o) { o.faults.echoCode = 0; }},
        OptionCase{"CountFaults",
                   {"--stall-from", "7", "--unplug-after", "0"},
                   [](SimOptions& o) {
                       o.faults.stallFrom = 7;
                       o.faults.unplugAfter = 0;
                   }},
        OptionCase{"NoFaultsClearsTheOnesBefore", {"--late", "--unplug-after", "2", "--no-faults"}, [](SimOptions&) {}},
        OptionCase{"UhidAndWireLog",
                   {"--uhid", "--keep-replies", "--wire-log", "/tmp/wire.log"},
                   [](SimOptions& o) {
                       o.uhid = true;
                       o.keepReplies = true;
                       o.wireLogPath = "/tmp/wire.log";
                   }},
        OptionCase{"PortAndSerial",
                   {"--port", "usb-0000:00:1d.0-1.4", "--serial", "OT40-0042"},
                   [](SimOptions& o) {
                       o.port = "usb-0000:00:1d.0-1.4";
                       o.serial = "OT40-0042";
                   }},
        OptionCase{"DeviceState",
                   {"--h", "4095", "--v", "0", "--size", "4", "--halftone", "on", "--colour1", "9", "--colour2", "0x0F",
                    "--row1", "834B00208260", "--row2", "0000"},
                   [](SimOptions& o) {
                       o.settings.hPosition = 4095;
                       o.settings.vPosition = 0;
                       o.settings.sizeIndex = 3;
                       o.settings.halftone = true;
                       o.settings.colour1 = 9;
                       o.settings.colour2 = 15;
                       o.settings.row1 = RowCells{0x83, 0x4B, 0x00, 0x20, 0x82, 0x60};
                       o.settings.row2 = RowCells{};
                   }},
        OptionCase{"ResolutionNoneLeavesTheSignalMode",
                   {"--resolution", "720x480", "--resolution", "none"},
                   [](SimOptions& o) {
                       o.signal.width = 720;
                       o.signal.height = 480;
                   }}),
    [](const auto& info) { return info.param.name; });

// One cell more than a row holds.
constexpr char kSeventeenCells[] =
    "8260826082608260826082608260826082608260826082608260826082608260"
    "8260";

class SimOptionsReject : public ::testing::TestWithParam<std::vector<std::string_view>> {};

TEST_P(SimOptionsReject, RefusesWithAMessageNamingTheArgument) {
    const auto& args = GetParam();
    const SimOptionsResult r = parse(args);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(std::string(args.back() == "" ? args.front() : args.back())), std::string::npos) << r.error;
}

INSTANTIATE_TEST_SUITE_P(Errors,
                         SimOptionsReject,
                         ::testing::Values(std::vector<std::string_view>{"--bogus"},
                                           std::vector<std::string_view>{"--pipe"},
                                           std::vector<std::string_view>{"--input-length", "65536"},
                                           std::vector<std::string_view>{"--input-length", "-1"},
                                           std::vector<std::string_view>{"--signal-mode", "8"},
                                           std::vector<std::string_view>{"--pattern", "0"},
                                           std::vector<std::string_view>{"--pattern", "5"},
                                           std::vector<std::string_view>{"--resolution", "720"},
                                           std::vector<std::string_view>{"--resolution", "4096x480"},
                                           std::vector<std::string_view>{"--echo", "0x100"},
                                           std::vector<std::string_view>{"--echo", "zz"},
                                           std::vector<std::string_view>{"--stall-from", "0"},
                                           std::vector<std::string_view>{"--unplug-after", ""},
                                           std::vector<std::string_view>{"--size", "0"},
                                           std::vector<std::string_view>{"--halftone", "1"},
                                           std::vector<std::string_view>{"--colour2", "16"},
                                           std::vector<std::string_view>{"--row1", "82"},
                                           std::vector<std::string_view>{"--row1", std::string_view(kSeventeenCells)},
                                           std::vector<std::string_view>{"--row2", "82zz"}));

TEST(SimOptions, ApplyGivesTheModelTheOptions) {
    SimOptions o;
    o.inputReportLength = 34;
    o.outputReportLength = 80;
    o.answerDelay = 5;
    o.signal.signalMode = 6;
    o.faults.stallFrom = 3;
    Ot40Model model;

    applySimOptions(o, model);

    EXPECT_EQ(model.inputReportLength(), 34);
    EXPECT_EQ(model.outputReportLength(), 80);
    EXPECT_EQ(model.answerDelay(), 5);
    EXPECT_EQ(model.signal(), o.signal);
    EXPECT_EQ(model.faults(), o.faults);
}

TEST(SimOptions, LineChangesWhatItNamesAndKeepsWhatTheDeviceWasSent) {
    SimOptions start;
    start.faults.answerLate = true;
    Ot40Model model;
    applySimOptions(start, model);
    Ot40Settings sent = model.settings();
    sent.hPosition = 321;  // as a SetHPosition would leave it
    model.setSettings(sent);

    std::string error;
    ASSERT_TRUE(applySimLine("--colour2 3  --unplug-after 0\r", start, model, error)) << error;
    Ot40Settings expected = sent;
    expected.colour2 = 3;
    EXPECT_EQ(model.settings(), expected);
    EXPECT_TRUE(model.faults().answerLate);
    EXPECT_TRUE(model.unplugged());

    EXPECT_FALSE(applySimLine("--no-faults --size 9", start, model, error));
    EXPECT_NE(error.find("--size"), std::string::npos) << error;
    EXPECT_TRUE(model.unplugged()) << "a refused line changes nothing";
    ASSERT_TRUE(applySimLine("--no-faults", start, model, error)) << error;
    EXPECT_EQ(model.faults(), Faults{});
}

TEST(SimOptions, UsageStartsWithTheProgramsOneLineDescription) {
    EXPECT_TRUE(simUsageText().starts_with("zel-ot40-sim: the simulated ZEL-OT40, on a named pipe (Windows) or"));
}

}  // namespace
}  // namespace sw::sim
