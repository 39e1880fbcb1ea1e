#include "sim/ot40_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tests/sim/sim_test_support.h"

namespace sw::sim {
namespace {

using test::bytesWith;
using test::command;
using Bytes = std::vector<std::uint8_t>;

RowCells cells(std::initializer_list<std::uint8_t> bytes) {
    RowCells row{};
    std::copy(bytes.begin(), bytes.end(), row.begin());
    return row;
}

// The reply the model queues for one query, taken once it is ready.
Bytes answer(Ot40Model& model, std::uint8_t code) {
    model.receive(command(code), 1000);
    auto reply = model.takeReply(1000 + model.answerDelay());
    EXPECT_TRUE(reply.has_value()) << "no reply to 0x" << std::hex << int(code);
    return reply.value_or(Bytes{});
}

// --- replies, byte by byte ---

struct ReplyCase {
    std::string name;
    std::function<void(Ot40Settings&, InputSignal&)> setUp;
    std::uint8_t query;
    std::map<std::size_t, std::uint8_t> nonZeroBytes;  // every other byte of the 65 must be zero
};
void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class ModelReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ModelReply, CarriesTheSettingsAtTheirPlaces) {
    const ReplyCase& c = GetParam();
    Ot40Model model;
    Ot40Settings settings{};  // all zero: only what a case sets shows up
    InputSignal signal{};
    signal.signalMode = 0;
    c.setUp(settings, signal);
    model.setSettings(settings);
    model.setSignal(signal);

    EXPECT_EQ(answer(model, c.query), bytesWith(65, c.nonZeroBytes));
}

const RowCells kSampleRow =
    cells({0x82, 0x60, 0x00, 0x20, 0x82, 0x61, 0x00, 0x00, 0x00, 0x41, 0x88, 0x9F, 0x00, 0x00, 0x00, 0x00,
           0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x82, 0xA0});

INSTANTIATE_TEST_SUITE_P(
    Replies,
    ModelReply,
    ::testing::Values(
        ReplyCase{"LayoutAtTheTopOfTheRange",
                  [](Ot40Settings& s, InputSignal&) {
                      s.hPosition = 2047;
                      s.vPosition = 0;
                      s.sizeIndex = 3;
                      s.halftone = true;
                  },
                  0x30,
                  {{1, 0x30}, {2, 0x07}, {3, 0xFF}, {6, 0x03}, {7, 0x01}}},
        ReplyCase{"LayoutWithTwelveBitPositions",
                  [](Ot40Settings& s, InputSignal&) {
                      s.hPosition = 0x123;
                      s.vPosition = 4095;
                      s.sizeIndex = 1;
                  },
                  0x30,
                  {{1, 0x30}, {2, 0x01}, {3, 0x23}, {4, 0x0F}, {5, 0xFF}, {6, 0x01}}},
        ReplyCase{"FirstColour", [](Ot40Settings& s, InputSignal&) { s.colour1 = 10; }, 0x34, {{1, 0x34}, {2, 10}}},
        ReplyCase{"SecondColourIsNotTheFirst",
                  [](Ot40Settings& s, InputSignal&) {
                      s.colour1 = 3;
                      s.colour2 = 15;
                  },
                  0x35,
                  {{1, 0x35}, {2, 15}}},
        ReplyCase{"RowOneCellsAtBytes2To33",
                  [](Ot40Settings& s, InputSignal&) { s.row1 = kSampleRow; },
                  0x38,
                  {{1, 0x38},
                   {2, 0x82},
                   {3, 0x60},
                   {5, 0x20},
                   {6, 0x82},
                   {7, 0x61},
                   {11, 0x41},
                   {12, 0x88},
                   {13, 0x9F},
                   {32, 0x82},
                   {33, 0xA0}}},
        ReplyCase{"RowTwoIsNotRowOne",
                  [](Ot40Settings& s, InputSignal&) {
                      s.row1 = kSampleRow;
                      s.row2 = cells({0x00, 0x42});
                  },
                  0x39,
                  {{1, 0x39}, {3, 0x42}}},
        ReplyCase{"StatusWithATableSignalMode",
                  [](Ot40Settings&, InputSignal& i) {
                      i.osdPattern = 3;
                      i.signalMode = 4;
                  },
                  0x3F,
                  {{1, 0x3F}, {2, 0x02}, {24, 0x04}}},
        ReplyCase{"StatusWithAnInterlacedExplicitResolution",
                  [](Ot40Settings&, InputSignal& i) {
                      i.osdPattern = 1;
                      i.explicitResolution = true;
                      i.width = 720;
                      i.height = 480;
                      i.interlaced = true;
                  },
                  0x3F,
                  {{1, 0x3F}, {3, 0x02}, {4, 0xD0}, {5, 0x01}, {6, 0xE0}, {7, 0x01}, {8, 0x80}}},
        ReplyCase{"StatusWithAProgressiveExplicitResolutionAndAMode",
                  [](Ot40Settings&, InputSignal& i) {
                      i.osdPattern = 4;
                      i.signalMode = 7;
                      i.explicitResolution = true;
                      i.width = 4095;
                      i.height = 0x234;
                  },
                  0x3F,
                  {{1, 0x3F}, {2, 0x03}, {3, 0x0F}, {4, 0xFF}, {5, 0x02}, {6, 0x34}, {7, 0x01}, {24, 0x07}}}),
    [](const auto& info) { return info.param.name; });

TEST(Ot40Model, StartsWithTheBannerInRowOneAndSensibleSettings) {
    Ot40Model model;
    EXPECT_EQ(answer(model, 0x30), bytesWith(65, {{1, 0x30}, {3, 100}, {5, 50}}));
    EXPECT_EQ(answer(model, 0x34), bytesWith(65, {{1, 0x34}, {2, 15}}));
    EXPECT_EQ(answer(model, 0x35), bytesWith(65, {{1, 0x35}, {2, 12}}));
    // Ｚ Ｅ Ｌ － Ｏ Ｔ ４ ０
    EXPECT_EQ(answer(model, 0x38), bytesWith(65, {{1, 0x38},
                                                  {2, 0x82},
                                                  {3, 0x79},
                                                  {4, 0x82},
                                                  {5, 0x64},
                                                  {6, 0x82},
                                                  {7, 0x6B},
                                                  {8, 0x81},
                                                  {9, 0x7C},
                                                  {10, 0x82},
                                                  {11, 0x6E},
                                                  {12, 0x82},
                                                  {13, 0x73},
                                                  {14, 0x82},
                                                  {15, 0x53},
                                                  {16, 0x82},
                                                  {17, 0x4F}}));
    EXPECT_EQ(answer(model, 0x39), bytesWith(65, {{1, 0x39}}));
}

// --- setting commands ---

struct SettingCase {
    std::string name;
    Bytes report;
    std::function<void(Ot40Settings&)> expectedChange;
};
void PrintTo(const SettingCase& c, std::ostream* os) {
    *os << c.name;
}

class ModelSetting : public ::testing::TestWithParam<SettingCase> {};

TEST_P(ModelSetting, ChangesItsSettingAndIsNotAnswered) {
    const SettingCase& c = GetParam();
    Ot40Model model;
    Ot40Settings expected = model.settings();
    c.expectedChange(expected);

    model.receive(c.report, 0);

    EXPECT_EQ(model.settings(), expected);
    EXPECT_EQ(model.queuedReplies(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Settings,
    ModelSetting,
    ::testing::Values(
        SettingCase{"HPosition", command(0x20, {0x07, 0xFF}), [](Ot40Settings& s) { s.hPosition = 2047; }},
        SettingCase{"VPosition", command(0x21, {0x03, 0xE8}), [](Ot40Settings& s) { s.vPosition = 1000; }},
        SettingCase{"PositionKeepsTwelveBits", command(0x20, {0xF1, 0x23}),
                    [](Ot40Settings& s) { s.hPosition = 0x123; }},
        SettingCase{"Size", command(0x22, {0x02}), [](Ot40Settings& s) { s.sizeIndex = 2; }},
        SettingCase{"HalftoneOn", command(0x23, {0x01}), [](Ot40Settings& s) { s.halftone = true; }},
        SettingCase{"ColourOneFromTheFirstOfItsSixteenCopies",
                    command(0x24, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}),
                    [](Ot40Settings& s) { s.colour1 = 5; }},
        SettingCase{"ColourTwo", command(0x25, {0}), [](Ot40Settings& s) { s.colour2 = 0; }},
        SettingCase{"RowOneTakesAll32CellBytes",
                    command(0x28, {0x82, 0x60, 0x00, 0x20, 0x82, 0x61, 0, 0, 0, 0, 0, 0, 0, 0,    0,    0,   0,
                                   0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0x83, 0x4B, 0x99}),
                    [](Ot40Settings& s) {
                        s.row1 = cells({0x82, 0x60, 0x00, 0x20, 0x82, 0x61, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0,
                                        0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0x83, 0x4B});
                    }},
        SettingCase{"EmptyRowOneClearsTheBanner", command(0x28), [](Ot40Settings& s) { s.row1 = RowCells{}; }},
        SettingCase{"RowTwo", command(0x29, {0x00, 0x41}), [](Ot40Settings& s) { s.row2 = cells({0x00, 0x41}); }},
        SettingCase{"UnknownCodeChangesNothing", command(0x31, {1, 2, 3, 4}), [](Ot40Settings&) {}},
        SettingCase{"ZeroCodeChangesNothing", command(0x00, {1, 2, 3, 4}), [](Ot40Settings&) {}},
        SettingCase{"ReportWithoutACodeChangesNothing", Bytes{0x00}, [](Ot40Settings&) {}},
        SettingCase{"CutRowCommandReadsMissingCellsAsEmpty", command(0x28, {0x82, 0x60, 0x82, 0x61}, 6),
                    [](Ot40Settings& s) {
                        s.row1 = cells({0x82, 0x60, 0x82, 0x61});
                    }}),
    [](const auto& info) { return info.param.name; });

TEST(Ot40Model, QueryAfterASettingReportsTheNewValue) {
    Ot40Model model;
    model.receive(command(0x21, {0x07, 0xD0}), 0);
    model.receive(command(0x22, {0x03}), 0);
    EXPECT_EQ(answer(model, 0x30), bytesWith(65, {{1, 0x30}, {3, 100}, {4, 0x07}, {5, 0xD0}, {6, 0x03}}));
}

TEST(Ot40Model, UnknownCodesAreNotAnswered) {
    Ot40Model model;
    for (std::uint8_t code : {0x00, 0x31, 0x36, 0x3E, 0x40, 0xFF})
        model.receive(command(code), 0);
    EXPECT_EQ(model.queuedReplies(), 0u);
}

// --- timing and the reply queue ---

TEST(Ot40Model, AReplyIsReadyExactlyAfterTheAnswerDelay) {
    Ot40Model model;
    model.setAnswerDelay(30);
    model.receive(command(0x34), 1000);
    ASSERT_EQ(model.nextReplyTime(), 1030);
    EXPECT_FALSE(model.takeReply(1029).has_value());
    EXPECT_TRUE(model.takeReply(1030).has_value());
    EXPECT_FALSE(model.takeReply(5000).has_value()) << "exactly one reply per query";
}

TEST(Ot40Model, AQuickReplyNeverOvertakesALateOne) {
    Ot40Model model;
    Faults late;
    late.answerLate = true;
    model.setFaults(late);
    model.receive(command(0x30), 0);  // ready at 800
    model.setFaults({});
    model.receive(command(0x34), 500);  // would be ready at 520 on its own

    EXPECT_FALSE(model.takeReply(799).has_value());
    auto first = model.takeReply(800);
    EXPECT_EQ(model.nextReplyTime(), 800) << "the quick reply waited behind the late one";
    auto second = model.takeReply(800);
    ASSERT_TRUE(first && second);
    EXPECT_EQ((*first)[1], 0x30);
    EXPECT_EQ((*second)[1], 0x34);
}

TEST(Ot40Model, ClearRepliesDropsWhatWasQueued) {
    Ot40Model model;
    model.receive(command(0x30), 0);
    model.clearReplies();
    EXPECT_EQ(model.queuedReplies(), 0u);
    EXPECT_FALSE(model.nextReplyTime().has_value());
}

// --- report lengths ---

struct LengthCase {
    std::string name;
    std::uint16_t inputLength;
    std::size_t expectedReplyLength;
};
void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << c.name;
}

class ModelInputLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(ModelInputLength, ShapesTheReplyToTheInputReportLength) {
    const LengthCase& c = GetParam();
    Ot40Model model;
    model.setReportLengths(c.inputLength, 65);
    Ot40Settings s = model.settings();
    s.row1.fill(0x77);
    model.setSettings(s);

    model.receive(command(0x38), 0);
    auto reply = model.takeReply(1000);

    if (c.expectedReplyLength == 0) {
        EXPECT_FALSE(reply.has_value());
        return;
    }
    ASSERT_TRUE(reply.has_value());
    ASSERT_EQ(reply->size(), c.expectedReplyLength);
    Bytes full = bytesWith(std::max<std::size_t>(c.expectedReplyLength, 65), {{1, 0x38}});
    std::fill(full.begin() + 2, full.begin() + 34, 0x77);
    full.resize(c.expectedReplyLength);
    EXPECT_EQ(*reply, full);
}

INSTANTIATE_TEST_SUITE_P(Lengths,
                         ModelInputLength,
                         ::testing::Values(LengthCase{"Usual", 65, 65},
                                           LengthCase{"LongerIsZeroPadded", 80, 80},
                                           LengthCase{"JustEnoughForARow", 34, 34},
                                           LengthCase{"ShortCutsTheRow", 20, 20},
                                           LengthCase{"OnlyTheReportId", 1, 1},
                                           LengthCase{"NoInputReportNoAnswer", 0, 0}),
                         [](const auto& info) { return info.param.name; });

TEST(Ot40Model, ReportsTheLengthsItWasGiven) {
    Ot40Model model;
    EXPECT_EQ(model.inputReportLength(), 65);
    EXPECT_EQ(model.outputReportLength(), 65);
    model.setReportLengths(34, 0);
    EXPECT_EQ(model.inputReportLength(), 34);
    EXPECT_EQ(model.outputReportLength(), 0);
}

// --- faults ---

TEST(Ot40Model, LateFaultMakesTheReplyReadyAfter800Ms) {
    Ot40Model model;
    Faults f;
    f.answerLate = true;
    model.setFaults(f);
    model.receive(command(0x30), 100);
    EXPECT_FALSE(model.takeReply(100 + 799).has_value());
    EXPECT_TRUE(model.takeReply(100 + 800).has_value());
}

TEST(Ot40Model, EchoFaultChangesOnlyByteOne) {
    Ot40Model model;
    Bytes honest = answer(model, 0x34);
    Faults f;
    f.echoCode = 0x31;
    model.setFaults(f);
    Bytes lying = answer(model, 0x34);

    ASSERT_EQ(lying.size(), honest.size());
    EXPECT_EQ(lying[1], 0x31);
    honest[1] = 0x31;
    EXPECT_EQ(lying, honest);
}

TEST(Ot40Model, DropFaultLeavesQueriesUnansweredButStillApplied) {
    Ot40Model model;
    Faults f;
    f.dropAnswers = true;
    model.setFaults(f);
    model.receive(command(0x30), 0);
    model.receive(command(0x22, {0x01}), 0);
    EXPECT_EQ(model.queuedReplies(), 0u);
    EXPECT_EQ(model.settings().sizeIndex, 1);
}

TEST(Ot40Model, AnswerSettingsFaultQueuesAnEchoOfTheSettingCode) {
    Ot40Model model;
    Faults f;
    f.answerSettings = true;
    model.setFaults(f);
    model.receive(command(0x23, {0x01}), 0);
    auto reply = model.takeReply(1000);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(*reply, bytesWith(65, {{1, 0x23}}));
    EXPECT_TRUE(model.settings().halftone);
}

TEST(Ot40Model, StallFaultStallsFromTheNthReportOn) {
    Ot40Model model;
    Faults f;
    f.stallFrom = 3;
    model.setFaults(f);
    EXPECT_FALSE(model.writesStalled());
    model.receive(command(0x30), 0);
    EXPECT_FALSE(model.writesStalled());
    model.receive(command(0x30), 0);
    EXPECT_TRUE(model.writesStalled()) << "the third report must not be taken";
    model.setFaults({});
    EXPECT_FALSE(model.writesStalled());
}

TEST(Ot40Model, StallFromTheFirstReportStallsAtOnce) {
    Ot40Model model;
    Faults f;
    f.stallFrom = 1;
    model.setFaults(f);
    EXPECT_TRUE(model.writesStalled());
}

TEST(Ot40Model, UnplugFaultRemovesTheDeviceAfterNReports) {
    Ot40Model model;
    Faults f;
    f.unplugAfter = 2;
    model.setFaults(f);
    model.receive(command(0x30), 0);
    EXPECT_FALSE(model.unplugged());
    model.receive(command(0x34), 0);
    EXPECT_TRUE(model.unplugged());
    EXPECT_EQ(model.queuedReplies(), 0u) << "a gone device has nothing queued";

    model.receive(command(0x22, {0x03}), 0);
    EXPECT_EQ(model.receivedCount(), 2u);
    EXPECT_EQ(model.settings().sizeIndex, 0);
    EXPECT_EQ(model.queuedReplies(), 0u);

    model.setFaults({});
    EXPECT_FALSE(model.unplugged()) << "clearing the fault plugs it in again";
}

TEST(Ot40Model, UnplugAfterZeroIsGoneFromTheStart) {
    Ot40Model model;
    Faults f;
    f.unplugAfter = 0;
    model.setFaults(f);
    EXPECT_TRUE(model.unplugged());
}

TEST(Ot40Model, ReadFailureIsOneShot) {
    Ot40Model model;
    Faults f;
    f.failNextRead = true;
    model.setFaults(f);
    EXPECT_TRUE(model.takeReadFailure());
    EXPECT_FALSE(model.takeReadFailure());
    EXPECT_FALSE(model.faults().failNextRead);
}

// --- wire log and change notification ---

TEST(Ot40Model, WireLogHoldsEveryReportWithItsTimeAndExactBytes) {
    Ot40Model model;
    const Bytes query = command(0x30);
    const Bytes cutRow = command(0x28, {0x82, 0x60}, 10);
    const Bytes unknown = command(0x7E, {}, 80);
    model.receive(query, 5);
    model.receive(cutRow, 7);
    model.receive(unknown, 9);

    const auto& log = model.wireLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].time, 5);
    EXPECT_EQ(log[0].bytes, query);
    EXPECT_FALSE(log[0].cut());
    EXPECT_EQ(log[1].time, 7);
    EXPECT_EQ(log[1].bytes, cutRow);
    EXPECT_TRUE(log[1].cut());
    EXPECT_EQ(log[2].bytes, unknown);
    EXPECT_FALSE(log[2].cut());

    model.clearWireLog();
    EXPECT_TRUE(model.wireLog().empty());
    EXPECT_EQ(model.receivedCount(), 3u) << "clearing the log does not rewind the report count";
}

TEST(Ot40Model, ObserverHearsEveryReportAndEveryChange) {
    Ot40Model model;
    int calls = 0;
    model.setObserver([&] { ++calls; });
    const auto before = model.changeCount();

    model.receive(command(0x30), 0);
    model.receive(command(0x20, {0x00, 0x10}), 0);
    model.setSignal(InputSignal{});
    model.setFaults(Faults{});

    EXPECT_EQ(calls, 4);
    EXPECT_EQ(model.changeCount(), before + 4);
}

}  // namespace
}  // namespace sw::sim
