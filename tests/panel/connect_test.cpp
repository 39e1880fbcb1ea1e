// The dialog's initial state and the connect handler: discovery, open, report lengths, control states.

#include <string>

#include "protocol/colour_palette.h"
#include "tests/panel/panel_fixture.h"

namespace sw::test {
namespace {

using namespace sw::panel;
using namespace sw::protocol;

TEST_F(PanelTest, AfterInitialisationOnlyProductConnectAndCloseCanBeUsed) {
    for (int id : DeviceControls)
        EXPECT_FALSE(dialog.enabled(id)) << id;
    for (int id : {IDC_PRODUCT, IDC_CONNECT, IDC_CLOSE, IDC_H_UPDOWN, IDC_V_UPDOWN})
        EXPECT_TRUE(dialog.enabled(id)) << id;

    EXPECT_EQ(dialog.control(IDC_PRODUCT).items, std::vector<std::string>{"ZEL-OT40"});
    EXPECT_EQ(dialog.control(IDC_PRODUCT).selection, 0);
    for (int list : {IDC_COLOUR1, IDC_COLOUR2}) {
        ASSERT_EQ(dialog.control(list).items.size(), 16u);
        for (std::size_t i = 0; i < 16; ++i)
            EXPECT_EQ(dialog.control(list).items[i], ColourPalette[i].name);
        EXPECT_EQ(dialog.control(list).items[dialog.control(list).selection], "黒");
    }
    EXPECT_TRUE(dialog.control(IDC_SIZE_X1).checked);
    for (int id : {IDC_SIZE_X2, IDC_SIZE_X3, IDC_SIZE_X4, IDC_HALFTONE})
        EXPECT_FALSE(dialog.control(id).checked) << id;
    for (int id : {IDC_H_EDIT, IDC_V_EDIT, IDC_ROW1, IDC_ROW2, IDC_DEVICE_TEXT})
        EXPECT_EQ(dialog.text(id), "") << id;
    EXPECT_EQ(dialog.text(IDC_STATUS), "ステータス");
    EXPECT_EQ(dialog.control(IDC_H_EDIT).limit, 4);
    EXPECT_EQ(dialog.control(IDC_V_EDIT).limit, 4);
    EXPECT_EQ(dialog.control(IDC_ROW1).limit, 16);
    EXPECT_EQ(dialog.control(IDC_ROW2).limit, 16);
    // H counts up to the right; V is reversed, so its upper arrow moves toward 0.
    EXPECT_EQ(dialog.control(IDC_H_UPDOWN).rangeMin, 0);
    EXPECT_EQ(dialog.control(IDC_H_UPDOWN).rangeMax, 2047);
    EXPECT_EQ(dialog.control(IDC_V_UPDOWN).rangeMin, 2047);
    EXPECT_EQ(dialog.control(IDC_V_UPDOWN).rangeMax, 0);
    EXPECT_EQ(panel.busyState(), busy::Idle);
    EXPECT_TRUE(dialog.swatches().empty());
    panel.OnPaint();  // nothing painted yet, so a repaint paints nothing
    EXPECT_TRUE(dialog.swatches().empty());
}

TEST_F(PanelTest, UpDownArrowsDoNothingWhileNoDeviceIsOpen) {
    dialog.clickUpDown(IDC_H_UPDOWN, true);
    dialog.RunFor(500);
    EXPECT_EQ(dialog.text(IDC_H_EDIT), "");
    EXPECT_EQ(panel.busyState(), busy::Idle);
    EXPECT_TRUE(model.wireLog().empty());
}

struct ConnectFailureCase {
    const char* name;
    std::vector<sim::SimInterface> interfaces;
    bool openFails;
    bool capabilitiesFail;
    const char* status;
    bool leftOpen;

    friend void PrintTo(const ConnectFailureCase& c, std::ostream* os) { *os << c.name; }
};

class ConnectFailure : public PanelTest, public ::testing::WithParamInterface<ConnectFailureCase> {};

TEST_P(ConnectFailure, ReportsOneMessageAndLeavesTheDeviceControlsDisabled) {
    const ConnectFailureCase& c = GetParam();
    simLink.setInterfaces(c.interfaces);
    simLink.setOpenFails(c.openFails);
    simLink.setCapabilitiesFail(c.capabilitiesFail);

    connect();

    EXPECT_EQ(dialog.text(IDC_STATUS), c.status);
    for (int id : DeviceControls)
        EXPECT_FALSE(dialog.enabled(id)) << id;
    EXPECT_EQ(simLink.IsOpen(), c.leftOpen);
    EXPECT_EQ(panel.session().inputReportLength, 0);
    EXPECT_EQ(panel.session().outputReportLength, 0);
    EXPECT_TRUE(model.wireLog().empty());
}

const char kDevicePath[] = "\\\\?\\hid#vid_3c9b&pid_5d17#7&1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

INSTANTIATE_TEST_SUITE_P(
    Connect,
    ConnectFailure,
    ::testing::Values(
        ConnectFailureCase{"NoInterface", {}, false, false, "指定されたUSB製品が見つかりませんでした。", false},
        ConnectFailureCase{"UpperCaseIdsAreNotMatched",
                           {{"\\\\?\\HID#VID_3C9B&PID_5D17#7&1&0&0000", false}},
                           false,
                           false,
                           "指定されたUSB製品が見つかりませんでした。",
                           false},
        ConnectFailureCase{"OtherProduct",
                           {{"\\\\?\\hid#vid_3c9b&pid_5d18#1", false}},
                           false,
                           false,
                           "指定されたUSB製品が見つかりませんでした。",
                           false},
        ConnectFailureCase{"OnlyMatchHasNoDetail",
                           {{kDevicePath, true}},
                           false,
                           false,
                           "指定されたUSB製品が見つかりませんでした。",
                           false},
        ConnectFailureCase{"OpenFails",
                           {{kDevicePath, false}},
                           true,
                           false,
                           "ZEL-OT40は見つかりましたが接続に失敗しました。",
                           false},
        ConnectFailureCase{"CapabilitiesFail",
                           {{kDevicePath, false}},
                           false,
                           true,
                           "ZEL-OT40に接続しましたが、レポートサイズの取得に失敗しました。",
                           true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelTest, OfTwoMatchingInterfacesTheFirstIsOpenedAndAnInterfaceWithoutDetailIsSkipped) {
    simLink.setInterfaces({{"\\\\?\\hid#vid_3c9b&pid_5d17#broken", true},
                           {"\\\\?\\hid#vid_3c9b&pid_5d17&mi_00#first", false},
                           {"\\\\?\\hid#vid_3c9b&pid_5d17#second", false}});
    connect();
    EXPECT_EQ(simLink.openPath(), "\\\\?\\hid#vid_3c9b&pid_5d17&mi_00#first");
}

TEST_F(PanelTest, ASuccessfulConnectShowsTheModelThenRunsTheReadBack) {
    connect();
    ASSERT_FALSE(dialog.statusHistory().empty());
    EXPECT_EQ(dialog.statusHistory().front(), "ZEL-OT40に接続しました。\n受信中...");
    EXPECT_EQ(wireCodes(), (std::vector<int>{0x30, 0x34, 0x35, 0x38, 0x39, 0x3F}));
    for (int id : DeviceControls)
        EXPECT_TRUE(dialog.enabled(id)) << id;
    EXPECT_EQ(panel.session().inputReportLength, 65);
    EXPECT_EQ(panel.session().outputReportLength, 65);
}

struct LengthCase {
    std::uint16_t input;
    std::uint16_t output;
    bool sendEnabled;
    bool othersEnabled;
};

class ControlsByReportLength : public PanelTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(ControlsByReportLength, SendFollowsTheOutputLengthAndTheRestTheInputLength) {
    model.setReportLengths(GetParam().input, GetParam().output);
    connect();
    EXPECT_EQ(dialog.enabled(IDC_SEND), GetParam().sendEnabled);
    for (int id : DeviceControls) {
        if (id != IDC_SEND) {
            EXPECT_EQ(dialog.enabled(id), GetParam().othersEnabled) << id;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Connect,
                         ControlsByReportLength,
                         ::testing::Values(LengthCase{65, 0, false, true},
                                           LengthCase{0, 65, true, false},
                                           LengthCase{65, 65, true, true}));

TEST_F(PanelTest, ConnectingAgainClosesTheOpenDeviceBeforeSearching) {
    connect();
    ASSERT_TRUE(simLink.IsOpen());
    const int closesBefore = simLink.closeCount();
    simLink.setInterfaces({});  // unplugged since
    connect();
    EXPECT_EQ(simLink.closeCount(), closesBefore + 1);
    EXPECT_FALSE(simLink.IsOpen());
    EXPECT_EQ(dialog.text(IDC_STATUS), "指定されたUSB製品が見つかりませんでした。");
    for (int id : DeviceControls)
        EXPECT_FALSE(dialog.enabled(id)) << id;
}

TEST_F(PanelTest, AfterAFailedCapabilityQueryTheNextConnectClosesTheHandleFirst) {
    simLink.setCapabilitiesFail(true);
    connect();
    ASSERT_TRUE(simLink.IsOpen());
    const int closesBefore = simLink.closeCount();
    simLink.setCapabilitiesFail(false);
    connect();
    EXPECT_EQ(simLink.closeCount(), closesBefore + 1);
    EXPECT_EQ(simLink.openCount(), 2);
    EXPECT_TRUE(dialog.enabled(IDC_RECEIVE));
}

TEST_F(PanelTest, DisconnectClosesTheDeviceAndDisablesOnlyTheDeviceControls) {
    connect();
    panel.Disconnect();
    EXPECT_FALSE(simLink.IsOpen());
    for (int id : DeviceControls)
        EXPECT_FALSE(dialog.enabled(id)) << id;
    for (int id : {IDC_PRODUCT, IDC_CONNECT, IDC_CLOSE})
        EXPECT_TRUE(dialog.enabled(id)) << id;
    EXPECT_EQ(panel.session().inputReportLength, 0);
    EXPECT_EQ(panel.session().outputReportLength, 0);
}

TEST_F(PanelTest, MessagesTheMessageMapLeavesToTheDialogManagerAreNotHandled) {
    EXPECT_FALSE(panel.OnCommand(IDC_ROW1, kEnChange));
    EXPECT_FALSE(panel.OnCommand(IDC_PRODUCT, 1));
    EXPECT_FALSE(panel.OnCommand(IDC_H_EDIT, 0x0400));  // EN_UPDATE
    EXPECT_TRUE(panel.OnCommand(IDC_HALFTONE, 0));
    EXPECT_TRUE(model.wireLog().empty());
}

// One conversation per box: each read-back, send and live step holds the box's lock, and where another program
// holds it the panel says so at once and starts nothing (its window must not block).
struct BoxBusyCase {
    const char* name;
    void (*act)(PanelBench&);
    int busyState;  // BusyState afterwards
};

void PrintTo(const BoxBusyCase& c, std::ostream* os) {
    *os << c.name;
}

class BoxBusy : public ::testing::TestWithParam<BoxBusyCase> {};

TEST_P(BoxBusy, TheStatusLineSaysSoAndNothingGoesToTheBox) {
    PanelBench bench;
    if (std::string(GetParam().name) != "Connect")
        bench.connect();
    bench.model.clearWireLog();
    bench.boxLock.holder = "";
    const auto before = bench.clock.now();
    GetParam().act(bench);
    EXPECT_EQ(bench.dialog.text(IDC_STATUS), "他のプログラムが通信中です。しばらくしてから再度実行してください。");
    EXPECT_TRUE(bench.model.wireLog().empty());
    EXPECT_LE(bench.clock.now() - before, 200) << "the window does not wait for the other program";
    EXPECT_EQ(bench.panel.busyState(), GetParam().busyState);
    // A connect opens nothing while another program has the box: no reply of its conversation can reach the panel.
    EXPECT_EQ(bench.dialog.enabled(IDC_SEND), std::string(GetParam().name) != "Connect") << "nothing locked";
    EXPECT_EQ(bench.link.IsOpen(), std::string(GetParam().name) != "Connect");

    bench.boxLock.holder.reset();
    GetParam().act(bench);
    EXPECT_FALSE(bench.model.wireLog().empty()) << "once the box is free, the same step goes out";
    EXPECT_FALSE(bench.boxLock.held);
}

INSTANTIATE_TEST_SUITE_P(
    Steps,
    BoxBusy,
    ::testing::Values(BoxBusyCase{"Connect", [](PanelBench& b) { b.connect(); }, busy::Idle},
                      BoxBusyCase{"Receive", [](PanelBench& b) { b.dialog.click(IDC_RECEIVE); }, busy::Idle},
                      BoxBusyCase{"Send", [](PanelBench& b) { b.dialog.click(IDC_SEND); }, busy::Idle},
                      BoxBusyCase{"LiveStep",
                                  [](PanelBench& b) {
                                      b.dialog.type(IDC_H_EDIT, "\b");
                                      b.dialog.RunFor(150);
                                  },
                                  busy::HFocused}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelTest, EachConversationHoldsTheLockOfTheBoxItOpened) {
    connect();
    dialog.click(IDC_RECEIVE);
    dialog.click(IDC_SEND);
    dialog.RunFor(2100);
    dialog.type(IDC_V_EDIT, "1");
    dialog.RunFor(150);
    EXPECT_EQ(boxLock.lockedPaths, std::vector<std::string>(4, sim::kDefaultInterfacePath));
    EXPECT_FALSE(boxLock.held);
}

}  // namespace
}  // namespace sw::test
