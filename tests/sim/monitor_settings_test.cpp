// The monitor's control strip as the simulated device and the panel feel it: the signal list and the four fault
// switches, and the texts the window shows.

#include "sim/monitor_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "protocol/command_codes.h"
#include "protocol/reply_decoder.h"
#include "sim/monitor_texts.h"
#include "sim/osd_layout.h"
#include "tests/sim/sim_test_support.h"

namespace sw::sim {
namespace {

using protocol::QueryCode;

constexpr std::uint8_t code(QueryCode c) {
    return static_cast<std::uint8_t>(c);
}

// --- the signal list ---

TEST(SignalChoice, EachModeEntrySetsItsModeAndKeepsThePattern) {
    InputSignal signal;
    signal.osdPattern = 3;
    for (int choice = 1; choice <= 7; ++choice) {
        const InputSignal chosen = withSignalChoice(signal, choice, {});
        EXPECT_EQ(chosen.signalMode, choice);
        EXPECT_EQ(chosen.osdPattern, 3);
        EXPECT_EQ(signalChoiceOf(chosen), choice);
    }
}

TEST(SignalChoice, NoSignalLeavesTheFormatUnresolved) {
    const InputSignal chosen = withSignalChoice(InputSignal{}, kNoSignalChoice, {});

    EXPECT_FALSE(pictureFormat(chosen).resolved);
    EXPECT_EQ(signalChoiceOf(chosen), kNoSignalChoice);
}

TEST(SignalChoice, TheExplicitEntryGivesThePictureTheTypedResolution) {
    const InputSignal chosen = withSignalChoice(InputSignal{}, kExplicitSignalChoice, {1000, 600, true});

    EXPECT_EQ(pictureFormat(chosen), (protocol::SignalFormat{true, 1000, 600, true}));
    EXPECT_EQ(signalChoiceOf(chosen), kExplicitSignalChoice);
}

TEST(SignalChoice, AModeOverAnExplicitResolutionStillShowsTheMode) {
    InputSignal signal = withSignalChoice(InputSignal{}, kExplicitSignalChoice, {1000, 600, true});
    signal = withSignalChoice(signal, 2, {});

    EXPECT_EQ(signalChoiceOf(signal), 2);
    EXPECT_EQ(pictureFormat(signal), (protocol::SignalFormat{true, 720, 480, false}));
}

// --- the fault switches, as the panel meets them on the wire ---

// A model that has already taken `reports` setting commands.
Ot40Model modelAfter(int reports) {
    Ot40Model model;
    for (int i = 0; i < reports; ++i)
        model.receive(test::command(0x20, {0, 10}), 0);
    return model;
}

void turn(Ot40Model& model, FaultSwitch which, bool on) {
    model.setFaults(withFaultSwitch(model.faults(), which, on, model.receivedCount()));
}

TEST(FaultSwitches, LateAnswersComeAfterThePanelsPause) {
    Ot40Model model = modelAfter(2);
    turn(model, FaultSwitch::LateAnswers, true);
    model.receive(test::command(code(QueryCode::QueryLayout)), 1000);

    ASSERT_TRUE(model.nextReplyTime().has_value());
    EXPECT_GT(*model.nextReplyTime(), 1000 + 500);
}

TEST(FaultSwitches, AWrongEchoIsOneThePanelDoesNotRecognise) {
    Ot40Model model = modelAfter(0);
    turn(model, FaultSwitch::WrongEcho, true);
    for (QueryCode query : protocol::kQueryOrder) {
        model.receive(test::command(code(query)), 0);
        const auto reply = model.takeReply(1'000'000);
        ASSERT_TRUE(reply.has_value());
        EXPECT_TRUE(std::holds_alternative<protocol::UnrecognisedReply>(protocol::decodeReply(*reply)));
    }
}

TEST(FaultSwitches, StalledWritesStopTheVeryNextReport) {
    Ot40Model model = modelAfter(5);
    EXPECT_FALSE(model.writesStalled());
    turn(model, FaultSwitch::StalledWrites, true);

    EXPECT_TRUE(model.writesStalled());
}

TEST(FaultSwitches, StallMidSendTakesTwoMoreReportsThenStalls) {
    Ot40Model model = modelAfter(5);
    turn(model, FaultSwitch::StallMidSend, true);

    EXPECT_FALSE(model.writesStalled());
    model.receive(test::command(0x20, {0, 1}), 0);
    EXPECT_FALSE(model.writesStalled());
    model.receive(test::command(0x21, {0, 1}), 0);
    EXPECT_TRUE(model.writesStalled());
}

TEST(FaultSwitches, TurningOneStallSwitchOnMovesTheStallPoint) {
    Ot40Model model = modelAfter(5);
    turn(model, FaultSwitch::StallMidSend, true);
    turn(model, FaultSwitch::StalledWrites, true);

    EXPECT_TRUE(model.writesStalled());
}

TEST(FaultSwitches, UnpluggedIsGoneAtOnceAndTakesNothing) {
    Ot40Model model = modelAfter(5);
    turn(model, FaultSwitch::Unplugged, true);
    model.receive(test::command(code(QueryCode::QueryLayout)), 0);

    EXPECT_TRUE(model.unplugged());
    EXPECT_EQ(model.receivedCount(), 5u);
    EXPECT_EQ(model.queuedReplies(), 0u);
}

TEST(FaultSwitches, TurningASwitchOffEndsItsFault) {
    Ot40Model model = modelAfter(3);
    for (FaultSwitch which : {FaultSwitch::LateAnswers, FaultSwitch::WrongEcho, FaultSwitch::StalledWrites,
                              FaultSwitch::StallMidSend, FaultSwitch::Unplugged}) {
        turn(model, which, true);
        EXPECT_TRUE(faultSwitchOn(model.faults(), which));
        turn(model, which, false);
        EXPECT_FALSE(faultSwitchOn(model.faults(), which));
    }
    EXPECT_EQ(model.faults(), Faults{});
    EXPECT_FALSE(model.unplugged());
    EXPECT_FALSE(model.writesStalled());
}

TEST(FaultSwitches, ASwitchLeavesTheOtherFaultsAsTheCommandLineSetThem) {
    Faults fromCommandLine;
    fromCommandLine.stallFrom = 40;
    fromCommandLine.dropAnswers = true;

    const Faults faults = withFaultSwitch(fromCommandLine, FaultSwitch::LateAnswers, true, 3);

    EXPECT_EQ(faults.stallFrom, 40u);
    EXPECT_TRUE(faults.dropAnswers);
    EXPECT_TRUE(faults.answerLate);
    EXPECT_TRUE(faultSwitchOn(fromCommandLine, FaultSwitch::StalledWrites));
}

// --- texts ---

TEST(MonitorTexts, FormatLabelNamesResolutionAndScan) {
    EXPECT_EQ(formatLabel({true, 720, 480, false}), L"720\u00D7480 p");
    EXPECT_EQ(formatLabel({true, 1920, 1080, true}), L"1920\u00D71080 i");
    EXPECT_EQ(formatLabel({}), L"no signal");
}

TEST(MonitorTexts, SignalListEntriesNameTheModesFormat) {
    EXPECT_EQ(signalChoiceLabel(0), L"No signal");
    EXPECT_EQ(signalChoiceLabel(4), L"Mode 4: 1920\u00D71080 i");
    EXPECT_EQ(signalChoiceLabel(7), L"Mode 7: 1600\u00D71200 p");
    EXPECT_EQ(signalChoiceLabel(8), L"Explicit resolution");
}

TEST(MonitorTexts, StatusLineTellsConnectionsReportsAndTheLastCommand) {
    EXPECT_EQ(statusLine({}), L"Connections: 0   Reports: 0");
    EXPECT_EQ(statusLine({2, 14, 0x29, false, false}), L"Connections: 2   Reports: 14   Last: 0x29 SetRow2");
    EXPECT_EQ(statusLine({1, 1, 0x3F, false, true}),
              L"Connections: 1   Reports: 1   Last: 0x3F QueryStatus   (not taking reports)");
    EXPECT_EQ(statusLine({1, 3, 0x77, true, true}), L"Connections: 1   Reports: 3   Last: 0x77   (unplugged)");
}

}  // namespace
}  // namespace sw::sim
