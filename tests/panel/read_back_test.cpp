// The read-back pass against the simulated device: what lands in each control, and each way a query can fail.

#include <string>

#include "protocol/colour_palette.h"
#include "tests/panel/panel_fixture.h"

namespace sw::test {
namespace {

using namespace sw::panel;
using namespace sw::protocol;

class ReadBackTest : public PanelTest {
protected:
    ReadBackTest() {
        sim::Ot40Settings s = model.settings();
        s.hPosition = 300;
        s.vPosition = 40;
        s.sizeIndex = 2;
        s.halftone = true;
        s.colour1 = 9;
        s.colour2 = 12;
        s.row1 = fullwidthCells("ABC");
        s.row2 = fullwidthCells("12");
        model.setSettings(s);
        model.setSignal({.osdPattern = 2, .signalMode = 2});  // 720 x 480 p
    }

    const std::string kRow1 = "ＡＢＣ";
    const std::string kRow2 = "１２";
};

TEST_F(ReadBackTest, APassInWhichEveryReplyArrivesShowsTheDevice) {
    connect();

    EXPECT_EQ(dialog.text(IDC_H_EDIT), "300");
    EXPECT_EQ(dialog.text(IDC_V_EDIT), "40");
    EXPECT_FALSE(dialog.control(IDC_SIZE_X1).checked);
    EXPECT_FALSE(dialog.control(IDC_SIZE_X2).checked);
    EXPECT_TRUE(dialog.control(IDC_SIZE_X3).checked);
    EXPECT_FALSE(dialog.control(IDC_SIZE_X4).checked);
    EXPECT_TRUE(dialog.control(IDC_HALFTONE).checked);
    EXPECT_EQ(dialog.control(IDC_COLOUR1).selection, 9);
    EXPECT_EQ(dialog.control(IDC_COLOUR2).selection, 12);
    EXPECT_EQ(dialog.text(IDC_ROW1), kRow1);
    EXPECT_EQ(dialog.text(IDC_ROW2), kRow2);
    EXPECT_EQ(dialog.text(IDC_DEVICE_TEXT), kRow1 + "\r\n" + kRow2);
    EXPECT_EQ(dialog.text(IDC_STATUS), "OSDパターン2を受信しました。\n入力解像度は720×480（p）です。");
    ASSERT_EQ(dialog.swatches().size(), 2u);
    EXPECT_EQ(dialog.swatches()[0].rowEditId, IDC_ROW1);
    EXPECT_EQ(dialog.swatches()[0].colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(dialog.swatches()[1].rowEditId, IDC_ROW2);
    EXPECT_EQ(dialog.swatches()[1].colour, (Rgb{255, 0, 0}));
    // Six queries of exactly one 65-byte report each, 1.5 s apart at most, at least 3 s in all.
    ASSERT_EQ(model.wireLog().size(), 6u);
    for (const auto& entry : model.wireLog()) {
        EXPECT_EQ(entry.bytes.size(), 65u);
        for (std::size_t i = 2; i < entry.bytes.size(); ++i)
            ASSERT_EQ(entry.bytes[i], 0) << i;
    }
    EXPECT_GE(clock.now(), 3000);
    EXPECT_EQ(simLink.outstandingIo(), 0);
}

TEST_F(ReadBackTest, TheRangeWarningUsesTheLayoutAndCellCountsOfThePass) {
    sim::Ot40Settings s = model.settings();
    s.hPosition = 720 - 16 * 3 * 3 + 1;  // x3, three cells: one pixel past the right edge
    model.setSettings(s);
    connect();
    EXPECT_EQ(dialog.text(IDC_STATUS),
              "OSDパターン2を受信しました。\n入力解像度は720×480（p）です。"
              "\nOSD文字が範囲外にある可能性があります。\nポジションを確認してください。");
}

TEST_F(ReadBackTest, MouseClicksMadeDuringAFullPassAreThrownAway) {
    connect();
    link.onWrite([&](int write) {
        if (write == 2)
            dialog.queueMouseClick(IDC_CONNECT);
    });
    dialog.click(IDC_RECEIVE);
    dialog.RunFor(10);
    EXPECT_EQ(model.wireLog().size(), 12u);  // no second connect ran
}

TEST_F(ReadBackTest, MouseClicksDuringAPassThatStopsAreHandledAfterIt) {
    connect();
    link.onWrite([&](int write) {
        if (write == 0) {
            dialog.queueMouseClick(IDC_RECEIVE);
            setFault([](sim::Faults& f) { f.answerLate = true; });
        }
    });
    dialog.click(IDC_RECEIVE);
    EXPECT_EQ(dialog.text(IDC_STATUS), "受信に失敗しました。接続しなおしてください。");
    setFault([](sim::Faults& f) { f.answerLate = false; });
    link.onWrite(nullptr);
    dialog.RunFor(10);  // the queued click runs a second receive
    EXPECT_EQ(model.wireLog().size(), 6u + 1u + 6u);
}

TEST_F(ReadBackTest, ALateReplyStopsThePassAfterTheFirstQuery) {
    setFault([](sim::Faults& f) { f.answerLate = true; });
    connect();
    EXPECT_EQ(dialog.text(IDC_STATUS), "受信に失敗しました。接続しなおしてください。");
    EXPECT_EQ(wireCodes(), std::vector<int>{0x30});
    EXPECT_EQ(dialog.text(IDC_H_EDIT), "");
    EXPECT_TRUE(dialog.swatches().empty());  // end steps skipped
    panel.OnPaint();
    EXPECT_TRUE(dialog.swatches().empty());  // nor remembered for a repaint
    EXPECT_EQ(simLink.outstandingIo(), 0);
}

TEST_F(ReadBackTest, ALateReplyIsDecodedByTheNextPassByItsOwnEchoCode) {
    link.onWrite([&](int write) {
        if (write == 0)
            setFault([](sim::Faults& f) { f.answerLate = true; });
        if (write == 1)
            setFault([](sim::Faults& f) { f.answerLate = false; });
    });
    connect();
    ASSERT_EQ(dialog.text(IDC_STATUS), "受信に失敗しました。接続しなおしてください。");
    dialog.RunFor(1000);
    dialog.click(IDC_RECEIVE);
    // Every read of the second pass takes the reply queued before it: the stale layout reply first.
    EXPECT_EQ(dialog.text(IDC_H_EDIT), "300");
    EXPECT_EQ(dialog.text(IDC_DEVICE_TEXT), kRow1 + "\r\n" + kRow2);
}

TEST_F(ReadBackTest, AFailedWriteOfTheThirdQueryStopsThePassWithWhatEarlierRepliesWrote) {
    dialog.control(IDC_ROW1).text = "old";
    dialog.control(IDC_COLOUR1).selection = 5;
    setFault([](sim::Faults& f) { f.stallFrom = 3; });
    connect();
    EXPECT_EQ(dialog.text(IDC_STATUS), "受信コマンド送信に失敗しました。接続しなおしてください。");
    EXPECT_EQ(dialog.text(IDC_H_EDIT), "300");
    EXPECT_TRUE(dialog.control(IDC_SIZE_X3).checked);
    EXPECT_EQ(dialog.control(IDC_COLOUR1).selection, 5);  // received, but applied only at the end
    EXPECT_EQ(dialog.control(IDC_COLOUR2).selection, 0);
    EXPECT_EQ(dialog.text(IDC_ROW1), "old");
    EXPECT_EQ(dialog.text(IDC_DEVICE_TEXT), "");
    EXPECT_EQ(wireCodes(), (std::vector<int>{0x30, 0x34}));
    EXPECT_EQ(simLink.outstandingIo(), 0);
}

TEST_F(ReadBackTest, AFailedReadOfRowTwoIsReportedAndThePassGoesOnWithoutTheRangeCheck) {
    dialog.control(IDC_ROW2).text = "old";
    sim::Ot40Settings s = model.settings();
    s.hPosition = 2000;  // would warn if the check ran
    model.setSettings(s);
    link.onWrite([&](int write) {
        if (write == 4)
            setFault([](sim::Faults& f) { f.failNextRead = true; });
    });
    connect();
    const auto& history = dialog.statusHistory();
    ASSERT_GE(history.size(), 2u);
    EXPECT_EQ(history[history.size() - 2], "受信に失敗しました。");
    EXPECT_EQ(dialog.text(IDC_STATUS), "OSDパターン2を受信しました。\n入力解像度は720×480（p）です。");
    EXPECT_EQ(dialog.text(IDC_ROW2), "old");
    EXPECT_EQ(dialog.text(IDC_DEVICE_TEXT), kRow1);  // row 1 alone, no line break
    EXPECT_EQ(dialog.swatches().size(), 2u);
}

TEST_F(ReadBackTest, EveryReplyIsAppliedAsTheQueryItsEchoCodeNames) {
    dialog.control(IDC_ROW2).text = "old";
    setFault([](sim::Faults& f) { f.echoCode = 0x38; });
    connect();
    // Six replies decoded as row 1: nothing else is written, and no status reply replaces the connect text.
    EXPECT_EQ(dialog.text(IDC_H_EDIT), "");
    EXPECT_EQ(dialog.text(IDC_V_EDIT), "");
    EXPECT_EQ(dialog.text(IDC_ROW2), "old");
    EXPECT_EQ(dialog.text(IDC_STATUS), "ZEL-OT40に接続しました。\n受信中...");
    EXPECT_EQ(dialog.text(IDC_DEVICE_TEXT).find("\r\n"), std::string::npos);
    EXPECT_GT(dialog.text(IDC_DEVICE_TEXT).size(), dialog.text(IDC_ROW1).size());  // appended once per reply
}

TEST_F(ReadBackTest, AnUnknownEchoCodeIsReportedAndThePassRunsToItsEndSteps) {
    setFault([](sim::Faults& f) { f.echoCode = 0x31; });
    connect();
    EXPECT_EQ(dialog.text(IDC_STATUS), "受信に失敗しました。再度受信してください。");
    EXPECT_EQ(model.wireLog().size(), 6u);
    EXPECT_EQ(dialog.swatches().size(), 2u);
    // No colour reply: both lists keep their current selection.
    EXPECT_EQ(dialog.control(IDC_COLOUR1).selection, 0);
    EXPECT_EQ(dialog.control(IDC_COLOUR2).selection, 0);
}

TEST_F(ReadBackTest, AMissingColourKeepsItsListsSelectionAndTheOtherIsApplied) {
    dialog.control(IDC_COLOUR1).selection = 7;
    link.onWrite([&](int write) {
        if (write == 1)
            setFault([](sim::Faults& f) { f.failNextRead = true; });
    });
    connect();
    EXPECT_EQ(dialog.control(IDC_COLOUR1).selection, 7);
    EXPECT_EQ(dialog.control(IDC_COLOUR2).selection, 12);
    ASSERT_EQ(dialog.swatches().size(), 2u);
    EXPECT_EQ(dialog.swatches()[0].colour, ColourPalette[7].colour);
}

TEST_F(ReadBackTest, TwoPassesInARowEachStartFromAnEmptyPass) {
    connect();
    dialog.click(IDC_RECEIVE);
    EXPECT_EQ(dialog.statusHistory()[dialog.statusHistory().size() - 2], "受信中...");
    EXPECT_EQ(dialog.text(IDC_DEVICE_TEXT), kRow1 + "\r\n" + kRow2);
    EXPECT_EQ(model.wireLog().size(), 12u);
}

TEST_F(ReadBackTest, ADeviceThatVanishesMidPassStopsItAndTheSessionStaysOpen) {
    setFault([](sim::Faults& f) { f.unplugAfter = 3; });
    connect();
    EXPECT_EQ(wireCodes(), (std::vector<int>{0x30, 0x34, 0x35}));
    EXPECT_EQ(dialog.text(IDC_STATUS), "受信に失敗しました。接続しなおしてください。");
    EXPECT_TRUE(simLink.IsOpen());
    EXPECT_TRUE(dialog.enabled(IDC_RECEIVE));
}

TEST_F(ReadBackTest, ReadingPositionsIntoUnfocusedEditsArmsNoLiveTimer) {
    connect();
    EXPECT_FALSE(dialog.timerRunning(kHLiveTimer));
    EXPECT_FALSE(dialog.timerRunning(kVLiveTimer));
    EXPECT_EQ(panel.busyState(), busy::Idle);
}

struct ShortReportCase {
    const char* name;
    std::uint16_t input;
    std::uint16_t output;
    std::size_t queriesOnWire;
    const char* status;

    friend void PrintTo(const ShortReportCase& c, std::ostream* os) { *os << c.name; }
};

class ShortReports : public ReadBackTest, public ::testing::WithParamInterface<ShortReportCase> {};

// Run under AddressSanitizer: nothing may be read or written past a report.
TEST_P(ShortReports, NeverGoPastABufferAndSayWhatFailed) {
    model.setReportLengths(GetParam().input, GetParam().output);
    connect();
    EXPECT_EQ(model.wireLog().size(), GetParam().queriesOnWire);
    EXPECT_EQ(dialog.text(IDC_STATUS), GetParam().status);
    EXPECT_EQ(simLink.outstandingIo(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    ReadBack,
    ShortReports,
    ::testing::Values(
        // An output report shorter than the 65-byte frame: no truncated query goes out.
        ShortReportCase{"Output64", 65, 64, 0, "受信コマンド送信に失敗しました。接続しなおしてください。"},
        ShortReportCase{"Output0", 65, 0, 0, "受信コマンド送信に失敗しました。接続しなおしてください。"},
        // Input reports too short for a decoder are unrecognised; the layout fits in 8 bytes.
        ShortReportCase{"Input8", 8, 65, 6, "受信に失敗しました。再度受信してください。"},
        // The status reply fits in 25 bytes, but without the rows' cell counts there is no range check.
        ShortReportCase{"Input33", 33, 65, 6, "OSDパターン2を受信しました。\n入力解像度は720×480（p）です。"},
        ShortReportCase{"Input0", 0, 65, 6, "受信に失敗しました。再度受信してください。"},
        ShortReportCase{"Longer", 80, 80, 6, "OSDパターン2を受信しました。\n入力解像度は720×480（p）です。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadBackTest, ARowReplyTooShortLeavesTheRowEditAlone) {
    dialog.control(IDC_ROW1).text = "old";
    model.setReportLengths(33, 65);
    connect();
    EXPECT_EQ(dialog.text(IDC_ROW1), "old");
    EXPECT_EQ(dialog.text(IDC_H_EDIT), "300");  // the layout fits
}

std::unique_ptr<std::uint8_t[]> noMemory(std::size_t) {
    return nullptr;
}

TEST_F(ReadBackTest, WithoutMemoryForAReportThePassStopsAtItsFirstQuery) {
    connect();
    panel.setReportBufferSource(&noMemory);
    dialog.click(IDC_RECEIVE);
    EXPECT_EQ(dialog.text(IDC_STATUS), "受信コマンド送信に失敗しました。接続しなおしてください。");
    EXPECT_EQ(model.wireLog().size(), 6u);
}

}  // namespace
}  // namespace sw::test
