// The send against the simulated device: the eight commands' bytes read off the dialog, failures, completion.

#include <string>

#include "protocol/colour_palette.h"
#include "tests/panel/panel_fixture.h"

namespace sw::test {
namespace {

using namespace sw::panel;
using namespace sw::protocol;

using Bytes = std::vector<std::uint8_t>;

Bytes frame(std::uint8_t code, const Bytes& payload = {}, std::size_t length = 65) {
    Bytes report(length, 0);
    report[1] = code;
    std::copy(payload.begin(), payload.end(), report.begin() + 2);
    return report;
}

Bytes repeated(std::uint8_t value, std::size_t count) {
    return Bytes(count, value);
}

class SendTest : public PanelTest {
protected:
    SendTest() {
        connect();
        model.clearWireLog();
        start = clock.now();
    }

    // The reports of the last send, in order.
    std::vector<Bytes> sent() const {
        std::vector<Bytes> reports;
        for (const auto& entry : model.wireLog())
            reports.push_back(entry.bytes);
        return reports;
    }

    void setText(int id, const std::string& text) { dialog.control(id).text = text; }

    sim::VirtualClock::Millis start = 0;
};

struct DialogState {
    const char* name;
    std::string h;
    std::string v;
    std::vector<int> checkedSizes;
    bool halftone;
    int colour1;
    int colour2;
    std::string row1;
    std::string row2;
    std::vector<Bytes> expected;

    friend void PrintTo(const DialogState& c, std::ostream* os) { *os << c.name; }
};

class SendBytes : public SendTest, public ::testing::WithParamInterface<DialogState> {};

TEST_P(SendBytes, EightCommandsInOrderCarryTheDialogsValues) {
    const DialogState& state = GetParam();
    setText(IDC_H_EDIT, state.h);
    setText(IDC_V_EDIT, state.v);
    for (int id = IDC_SIZE_X1; id <= IDC_SIZE_X4; ++id)
        dialog.control(id).checked =
            std::find(state.checkedSizes.begin(), state.checkedSizes.end(), id) != state.checkedSizes.end();
    dialog.control(IDC_HALFTONE).checked = state.halftone;
    dialog.control(IDC_COLOUR1).selection = state.colour1;
    dialog.control(IDC_COLOUR2).selection = state.colour2;
    setText(IDC_ROW1, state.row1);
    setText(IDC_ROW2, state.row2);

    dialog.click(IDC_SEND);

    EXPECT_EQ(sent(), state.expected);
    EXPECT_EQ(link.lastWaitMs, 1000u);
    EXPECT_TRUE(link.lastConfirm);
}

INSTANTIATE_TEST_SUITE_P(
    Send,
    SendBytes,
    ::testing::Values(
        DialogState{"Typical",
                    "1000",
                    "50",
                    {IDC_SIZE_X3},
                    true,
                    5,
                    12,
                    "ABC",
                    "",
                    {frame(0x20, {0x03, 0xE8}), frame(0x21, {0x00, 0x32}), frame(0x22, {2}), frame(0x23, {1}),
                     frame(0x24, repeated(5, 16)), frame(0x25, repeated(12, 16)),
                     frame(0x28, {0x82, 0x60, 0x82, 0x61, 0x82, 0x62}), frame(0x29)}},
        DialogState{"PositionsAboveTheLimitAndEmptyEdits",
                    "9999",
                    "",
                    {},
                    false,
                    0,
                    15,
                    " ",
                    "ｶﾞﾊﾟｱﾞ",
                    {frame(0x20, {0x07, 0xFF}), frame(0x21, {0x00, 0x00}), frame(0x22, {0}), frame(0x23, {0}),
                     frame(0x24, repeated(0, 16)), frame(0x25, repeated(15, 16)), frame(0x28, {0x81, 0x40}),
                     frame(0x29, {0x83, 0x4B, 0x83, 0x70, 0x83, 0x41, 0x81, 0x4A})}},
        DialogState{"TwoSizesCheckedTheEarlierWins",
                    "2046",
                    "2047",
                    {IDC_SIZE_X2, IDC_SIZE_X4},
                    false,
                    0,
                    0,
                    "",
                    "",
                    {frame(0x20, {0x07, 0xFE}), frame(0x21, {0x07, 0xFF}), frame(0x22, {1}), frame(0x23, {0}),
                     frame(0x24, repeated(0, 16)), frame(0x25, repeated(0, 16)), frame(0x28), frame(0x29)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SendTest, PositionsAtOrAboveTheLimitAreWrittenBackAsTheLimit) {
    setText(IDC_H_EDIT, "3000");
    setText(IDC_V_EDIT, "2047");
    dialog.click(IDC_SEND);
    EXPECT_EQ(dialog.text(IDC_H_EDIT), "2047");
    EXPECT_EQ(dialog.text(IDC_V_EDIT), "2047");
    setText(IDC_H_EDIT, "2046");
    setText(IDC_V_EDIT, "");
    dialog.RunFor(2000);
    dialog.click(IDC_SEND);
    EXPECT_EQ(dialog.text(IDC_H_EDIT), "2046");
    EXPECT_EQ(dialog.text(IDC_V_EDIT), "");  // read as 0, left empty
}

TEST_F(SendTest, SixteenFullWidthCharactersFromAReadBackFillTheRow) {
    sim::Ot40Settings s = model.settings();
    s.row1 = fullwidthCells("ABCDEFGHIJKLMNOP");
    model.setSettings(s);
    dialog.click(IDC_RECEIVE);
    ASSERT_EQ(dialog.text(IDC_ROW1).size(), 32u);
    model.clearWireLog();
    dialog.click(IDC_SEND);
    const std::vector<Bytes> reports = sent();
    ASSERT_EQ(reports.size(), 8u);
    const Bytes& row = reports[6];
    EXPECT_EQ(Bytes(row.begin() + 2, row.begin() + 34), Bytes(s.row1.begin(), s.row1.end()));
    EXPECT_EQ(model.settings().row1, s.row1);
}

TEST_F(SendTest, AllEightWrittenLocksTheControlsUntilTheCompletionTwoSecondsAfterTheLastWrite) {
    dialog.click(IDC_SEND);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信中...");
    EXPECT_EQ(panel.busyState(), busy::SendPending);
    for (int id : SendLockControls)
        EXPECT_FALSE(dialog.enabled(id)) << id;
    EXPECT_TRUE(dialog.enabled(IDC_SEND));
    EXPECT_TRUE(dialog.enabled(IDC_CLOSE));
    EXPECT_EQ(dialog.swatches().size(), 4u);  // the read-back's two and the send's two

    dialog.RunFor(1999);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信中...");
    dialog.RunFor(1);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信しました。");
    for (int id : SendLockControls)
        EXPECT_TRUE(dialog.enabled(id)) << id;
    EXPECT_FALSE(dialog.timerRunning(kSendCompletionTimer));
    EXPECT_EQ(panel.busyState(), busy::Idle);
}

TEST_F(SendTest, AFailedFirstWriteReportsAtOnceAndLocksNothing) {
    setFault([](sim::Faults& f) { f.stallFrom = f.stallFrom.value_or(0) + 7; });  // the 7th report since start
    dialog.click(IDC_SEND);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信に失敗しました。接続しなおしてください。");
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(clock.now() - start, 1000);  // the full wait limit
    for (int id : SendLockControls)
        EXPECT_TRUE(dialog.enabled(id)) << id;
    EXPECT_FALSE(dialog.timerRunning(kSendCompletionTimer));
    EXPECT_EQ(simLink.outstandingIo(), 0);
}

TEST_F(SendTest, AFailedThirdWriteTurnsTheCompletionIntoAPossibleFailure) {
    setFault([](sim::Faults& f) { f.stallFrom = 6 + 3; });
    dialog.click(IDC_SEND);
    EXPECT_EQ(sent().size(), 2u);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信中...");
    EXPECT_EQ(panel.busyState(), busy::SendFailureSeen);
    EXPECT_EQ(dialog.swatches().size(), 2u);  // not repainted
    for (int id : SendLockControls)
        EXPECT_FALSE(dialog.enabled(id)) << id;
    dialog.RunFor(2000);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信に失敗した可能性があります。確認してください。");
    for (int id : SendLockControls)
        EXPECT_TRUE(dialog.enabled(id)) << id;
}

TEST_F(SendTest, ASecondSendWhileACompletionIsPendingRestartsTheTwoSeconds) {
    dialog.click(IDC_SEND);
    dialog.RunFor(1500);
    dialog.click(IDC_SEND);
    EXPECT_EQ(sent().size(), 16u);
    dialog.RunFor(1999);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信中...");
    dialog.RunFor(1);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信しました。");
}

TEST_F(SendTest, ASecondSendsFailedFirstWriteIsReportedByThePendingCompletion) {
    dialog.click(IDC_SEND);
    setFault([](sim::Faults& f) { f.stallFrom = 6 + 8 + 1; });
    dialog.click(IDC_SEND);
    EXPECT_EQ(panel.busyState(), busy::SendFailureSeen);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信中...");
    dialog.RunFor(2000);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信に失敗した可能性があります。確認してください。");
}

// Limiting H used to clear BusyState over a pending completion, so this failure was replaced 2 s later by
// "sent".
TEST_F(SendTest, LimitingHDuringAPendingCompletionKeepsTheFailureOfTheNextWrite) {
    dialog.click(IDC_SEND);
    setText(IDC_H_EDIT, "2047");
    setFault([](sim::Faults& f) { f.stallFrom = 6 + 8 + 1; });
    dialog.click(IDC_SEND);
    EXPECT_EQ(panel.busyState(), busy::SendFailureSeen);
    dialog.RunFor(2000);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信に失敗した可能性があります。確認してください。");
    for (const std::string& status : dialog.statusHistory())
        EXPECT_NE(status, "送信しました。");
}

TEST_F(SendTest, ADeviceUnpluggedMidSendFailsItsNextCommand) {
    setFault([](sim::Faults& f) { f.unplugAfter = 6 + 4; });
    dialog.click(IDC_SEND);
    EXPECT_EQ(sent().size(), 4u);
    dialog.RunFor(2000);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信に失敗した可能性があります。確認してください。");
}

TEST_F(SendTest, WhenTheCompletionTimerCannotStartTheSendCompletesAtOnce) {
    dialog.failTimer(kSendCompletionTimer);
    dialog.click(IDC_SEND);
    EXPECT_EQ(sent().size(), 8u);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信しました。");
    for (int id : SendLockControls)
        EXPECT_TRUE(dialog.enabled(id)) << id;
}

TEST_F(SendTest, WhenTheCompletionTimerCannotStartAFailedSendUnlocksTheControls) {
    dialog.failTimer(kSendCompletionTimer);
    setFault([](sim::Faults& f) { f.stallFrom = 6 + 3; });
    dialog.click(IDC_SEND);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信に失敗しました。接続しなおしてください。");
    for (int id : SendLockControls)
        EXPECT_TRUE(dialog.enabled(id)) << id;
}

std::unique_ptr<std::uint8_t[]> noMemory(std::size_t) {
    return nullptr;
}

TEST_F(SendTest, WithoutMemoryForAReportTheSendFailsLikeAFailedWrite) {
    panel.setReportBufferSource(&noMemory);
    dialog.click(IDC_SEND);
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信に失敗しました。接続しなおしてください。");
    EXPECT_TRUE(sent().empty());
}

TEST_F(SendTest, AReportLongerThanTheFrameIsWrittenWholeWithZerosAfterByte64) {
    model.setReportLengths(80, 80);
    connect();
    model.clearWireLog();
    setText(IDC_ROW1, "ABCDEFGHIJKLMNOP");
    dialog.click(IDC_SEND);
    ASSERT_EQ(sent().size(), 8u);
    for (const Bytes& report : sent()) {
        ASSERT_EQ(report.size(), 80u);
        for (std::size_t i = 65; i < 80; ++i)
            EXPECT_EQ(report[i], 0) << i;
    }
}

TEST_F(SendTest, AnOutputReportShorterThanTheFrameSendsNothingTruncated) {
    model.setReportLengths(65, 64);
    connect();
    model.clearWireLog();
    dialog.click(IDC_SEND);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(dialog.text(IDC_STATUS), "送信に失敗しました。接続しなおしてください。");
}

// A repaint of the dialog shows the swatches as last painted: the read-back's colours until the send.
TEST_F(SendTest, PickingAColourChangesNoSwatchUntilTheNextCompletedSend) {
    ASSERT_EQ(dialog.swatches().size(), 2u);
    const std::vector<PaintedSwatch> readBack = dialog.swatches();
    dialog.clearSwatches();
    dialog.selectCombo(IDC_COLOUR1, 15);
    dialog.RunFor(100);
    EXPECT_TRUE(dialog.swatches().empty());
    panel.OnPaint();
    EXPECT_EQ(dialog.swatches(), readBack);
    dialog.clearSwatches();
    dialog.click(IDC_SEND);
    ASSERT_EQ(dialog.swatches().size(), 2u);
    EXPECT_EQ(dialog.swatches()[0].colour, (Rgb{255, 255, 255}));
    const std::vector<PaintedSwatch> sent = dialog.swatches();
    dialog.clearSwatches();
    panel.OnPaint();
    EXPECT_EQ(dialog.swatches(), sent);
}

}  // namespace
}  // namespace sw::test
