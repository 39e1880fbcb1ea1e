// The read-back: the six queries on the wire, every reply in its control, and what a late, wrong, missing or
// vanished answer leaves in the panel.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "panel/control_ids.h"
#include "sim/ot40_model.h"
#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/connected_panel.h"
#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/hosted_device.h"
#include "tests/e2e/driver/panel.h"
#include "tests/e2e/driver/panel_texts.h"
#include "tests/e2e/driver/process_handles.h"
#include "tests/e2e/driver/real_input.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/screen_pixels.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/swatches.h"
#include "tests/e2e/driver/wire_frames.h"

namespace sw::e2e {
namespace {

using namespace sw::panel;

constexpr int kSizeButtons[] = {IDC_SIZE_X1, IDC_SIZE_X2, IDC_SIZE_X3, IDC_SIZE_X4};

// The six queries in the order every pass asks them, each a bare code in a whole report.
std::vector<std::string> queryReports(int passes = 1) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int pass = 0; pass < passes; ++pass) {
        for (const std::uint8_t code : {0x30, 0x34, 0x35, 0x38, 0x39, 0x3F})
            frames.push_back(commandFrame(code));
    }
    return hexReports(frames);
}

sim::RowCells rowCells(std::initializer_list<std::uint8_t> bytes) {
    sim::RowCells cells{};
    std::size_t i = 0;
    for (const std::uint8_t byte : bytes)
        cells[i++] = byte;
    return cells;
}

struct DeviceState {
    sim::Ot40Settings settings;
    sim::InputSignal signal;
};

// What the panel must show once a pass has read `DeviceState` back.
struct PanelShows {
    const char* h;
    const char* v;
    int sizeIndex;
    bool halftone;
    int colour1;
    const char* colour1Name;
    int colour2;
    const char* colour2Name;
    const char* row1;
    const char* row2;
    const char* deviceText;
    const char* status;
};

void checkPanelShows(const RemoteDialog& dialog, const PanelShows& shows) {
    CHECK_EQ(dialog.text(IDC_H_EDIT), std::optional<std::string>(shows.h));
    CHECK_EQ(dialog.text(IDC_V_EDIT), std::optional<std::string>(shows.v));
    for (int i = 0; i < 4; ++i) {
        CheckContext about("size button " + std::to_string(i));
        CHECK_EQ(dialog.checkState(kSizeButtons[i]), std::optional<int>(i == shows.sizeIndex ? BST_CHECKED : 0));
    }
    CHECK_EQ(dialog.checkState(IDC_HALFTONE), std::optional<int>(shows.halftone ? BST_CHECKED : BST_UNCHECKED));
    CHECK_EQ(dialog.comboSelection(IDC_COLOUR1), std::optional<int>(shows.colour1));
    CHECK_EQ(dialog.comboText(IDC_COLOUR1), std::optional<std::string>(shows.colour1Name));
    CHECK_EQ(dialog.comboSelection(IDC_COLOUR2), std::optional<int>(shows.colour2));
    CHECK_EQ(dialog.comboText(IDC_COLOUR2), std::optional<std::string>(shows.colour2Name));
    CHECK_EQ(dialog.text(IDC_ROW1), std::optional<std::string>(shows.row1));
    CHECK_EQ(dialog.text(IDC_ROW2), std::optional<std::string>(shows.row2));
    CHECK_EQ(dialog.text(IDC_DEVICE_TEXT), std::optional<std::string>(shows.deviceText));
    CHECK_EQ(dialog.text(IDC_STATUS), std::optional<std::string>(shows.status));
}

// The first pass runs after Connect; its block of ×2 cells reaches one pixel past the right edge of a 720-wide
// picture (625 + 3 cells × 32 = 721). The second runs from Receive; its block of one ×4 cell ends exactly at the
// right edge (656 + 64 = 720) and draws no warning. Colour 9, "青", must not be mistaken for "青緑" before it.
DeviceState firstDevice() {
    DeviceState device;
    device.settings.hPosition = 625;
    device.settings.vPosition = 40;
    device.settings.sizeIndex = 1;
    device.settings.halftone = true;
    device.settings.colour1 = 9;
    device.settings.colour2 = 12;
    device.settings.row1 = rowCells({0x82, 0x60, 0x82, 0x61, 0x82, 0x62});  // ＡＢＣ
    device.settings.row2 = rowCells({0x83, 0x4B, 0x00, 0x20, 0x82, 0xA0});  // ガ, a space cell, あ
    device.signal = sim::InputSignal{.osdPattern = 2, .signalMode = 2};     // 720×480 progressive
    return device;
}

constexpr PanelShows kFirstShows{
    "625",
    "40",
    1,
    true,
    9,
    "青",
    12,
    "赤",
    "ＡＢＣ",
    "ガ あ",
    "ＡＢＣ\r\nガ あ",
    "OSDパターン2を受信しました。\n入力解像度は720×480（p）です。\nOSD文字が範囲外にある可能性があります。\n"
    "ポジションを確認してください。",
};

DeviceState secondDevice() {
    DeviceState device;
    device.settings.hPosition = 656;
    device.settings.vPosition = 300;
    device.settings.sizeIndex = 3;
    device.settings.halftone = false;
    device.settings.colour1 = 3;
    device.settings.colour2 = 13;
    device.settings.row1 = rowCells({});
    device.settings.row2 = rowCells({0x83, 0x4B});                       // ガ
    device.signal = sim::InputSignal{.osdPattern = 4, .signalMode = 5};  // 720×480 interlaced
    return device;
}

// Row 1 is empty now: the device text starts with the line break that row 2 brings, and holds nothing of the
// first pass.
constexpr PanelShows kSecondShows{
    "656", "300",  3,  false, 3,        "青緑",
    13,    "赤紫", "", "ガ",  "\r\nガ", "OSDパターン4を受信しました。\n入力解像度は720×480（i）です。",
};

void setDevice(HostedDevice& device, const DeviceState& state) {
    device.setSettings(state.settings);
    device.setSignal(state.signal);
}

void setFirstDevice(HostedDevice& device) {
    setDevice(device, firstDevice());
}

// Runs a receive pass from outside (the driver stays free) with a mouse click on the halftone box and a Tab key
// made while the pass blocks the panel. The pass throws the queued click away at its end; the Tab, keyboard
// input, stays queued and moves the focus afterwards. Input is handled in order, so once the focus has moved the
// click would have toggled the box if it had been kept.
void receiveWithInputQueuedDuringPass(const RemoteDialog& dialog, HostedDevice& device) {
    const std::uint32_t before = device.reportsReceived();
    const HWND focusBefore = dialog.focus();
    if (!CHECK(bringToFront(dialog.window())) || !CHECK(dialog.postCommand(IDC_RECEIVE)))
        return;
    if (!CHECK(device.waitForReports(before + 1, kReadBackLimit)))
        return;
    CHECK(clickAt(pointInControl(dialog, IDC_HALFTONE, 0.1, 0.5)));
    CHECK(pressKey(VK_TAB));
    CHECK(waitFor(kReadBackLimit, [&] { return dialog.focus() != focusBefore; }));
    CHECK(dialog.waitResponsive());
    CHECK_EQ(device.reportsReceived(), before + kQueriesPerPass);
}

}  // namespace

SW_SCENARIO_ON_CODE_PAGES(
    read_back_fills_every_control,
    "connect and receive: six whole queries each, every reply in its control, status with range check") {
    HostedDevice device;
    auto panel = startDeviceAndConnectedPanel(context, device, setFirstDevice);
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;
    {
        beginCase("connect");
        CheckContext about("connect");
        CHECK_EQ(hexReports(device.wireLog()), queryReports());
        checkPanelShows(dialog, kFirstShows);
        CHECK(dialog.waitPainted());
        CHECK(saveWindowImage(dialog.window(), context.outDir + "read_back" + codePageSuffix(context) + ".bmp"));
    }
    const auto handlesAfterConnect = kernelHandleCount(panel->process.id());
    {
        beginCase("receive, with a click and a key made during the pass");
        CheckContext about("receive");
        setDevice(device, secondDevice());
        receiveWithInputQueuedDuringPass(dialog, device);
        CHECK_EQ(hexReports(device.wireLog()), queryReports(2));
        checkPanelShows(dialog, kSecondShows);
        if (device.seesOpens())
            CHECK_EQ(device.opens(), 1);
    }
    // Every step of a pass releases its event and buffer: a pass holds no handle once it is over.
    const auto handlesAfterReceive = kernelHandleCount(panel->process.id());
    std::printf("  handles held by the panel: %ld after connect, %ld after receive\n", handlesAfterConnect.value_or(-1),
                handlesAfterReceive.value_or(-1));
    CHECK(handlesAfterConnect.value_or(0) > 0);
    CHECK_EQ(handlesAfterReceive, handlesAfterConnect);
    {
        // The same click made while the panel is idle does toggle the box: the click above reached the panel.
        beginCase("the same click after the pass");
        CHECK(clickAt(pointInControl(dialog, IDC_HALFTONE, 0.1, 0.5)));
        CHECK(waitFor(kReactionLimit, [&] { return dialog.checkState(IDC_HALFTONE) == BST_CHECKED; }));
    }
    closePanel(*panel);
}

SW_SCENARIO(read_back_late_reply_stops_pass, "a reply later than the pause: one query on the wire, \"reconnect\"") {
    HostedDevice device;
    auto panel = startDeviceAndPanel(context, device, [](HostedDevice& hosted) {
        sim::Faults late;
        late.answerLate = true;
        hosted.setFaults(late);
    });
    if (!panel)
        return;
    CHECK(panel->dialog.click(IDC_CONNECT));
    CHECK_EQ(hexReports(device.wireLog()), std::vector<std::string>{hexBytes(commandFrame(0x30))});
    CHECK_EQ(panel->dialog.text(IDC_STATUS), std::optional<std::string>(kReceiveNotReady));
    // The late reply was never read: nothing of it reached the controls.
    CHECK_EQ(panel->dialog.text(IDC_H_EDIT), std::optional<std::string>(""));
    CHECK(panel->dialog.enabled(IDC_RECEIVE));
    closePanel(*panel);
}

SW_SCENARIO(read_back_unrecognised_echo_goes_on_to_end_steps,
            "replies echoing 0x31: six queries, \"receive again\", the end steps still run") {
    HostedDevice device;
    auto panel = startDeviceAndConnectedPanel(context, device, setFirstDevice);
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;
    CHECK_EQ(dialog.text(IDC_STATUS), std::optional<std::string>(kFirstShows.status));

    // The device now holds other values, but no reply names a query the panel knows.
    setDevice(device, secondDevice());
    sim::Faults wrongEcho;
    wrongEcho.echoCode = 0x31;
    device.setFaults(wrongEcho);
    CHECK(dialog.click(IDC_RECEIVE));
    CHECK_EQ(hexReports(device.wireLog()), queryReports(2));
    // Nothing was applied: the first pass's values stay. The end steps ran: the device text is the empty text of
    // this pass, and the colour lists keep their selections, since no colour reply was recognised.
    PanelShows shows = kFirstShows;
    shows.deviceText = "";
    shows.status = kUnrecognisedReply;
    checkPanelShows(dialog, shows);
    closePanel(*panel);
}

SW_SCENARIO(read_back_short_replies_are_unrecognised,
            "a 20-byte input report holds layout and colours, not rows or status: those are \"receive again\"") {
    HostedDevice device;
    const auto shortInputReports = [](HostedDevice& hosted) {
        setFirstDevice(hosted);
        hosted.setReportLengths(20, 65);
    };
    auto panel =
        startDeviceAndConnectedPanel(context, device, shortInputReports, {{{"SW_DOUBLE_CAPS", "20,65"}}, std::nullopt});
    if (!panel)
        return;
    CHECK_EQ(hexReports(device.wireLog()), queryReports());
    PanelShows shows = kFirstShows;
    shows.row1 = "";
    shows.row2 = "";
    shows.deviceText = "";
    shows.status = kUnrecognisedReply;
    checkPanelShows(panel->dialog, shows);
    closePanel(*panel);
}

SW_SCENARIO(read_back_device_gone_mid_pass,
            "the device vanishes after the third query: \"reconnect\", the panel goes on and reconnects on replug") {
    HostedDevice device;
    auto panel = startDeviceAndPanel(context, device, [](HostedDevice& hosted) {
        sim::Faults goneAfterThree;
        goneAfterThree.unplugAfter = 3;
        hosted.setFaults(goneAfterThree);
    });
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;
    CHECK(dialog.click(IDC_CONNECT));
    CHECK_EQ(commandCodes(device.wireLog()), (std::vector<int>{0x30, 0x34, 0x35}));
    // The third query went out, but its reply went with the device: the read finds nothing.
    CHECK_EQ(dialog.text(IDC_STATUS), std::optional<std::string>(kReceiveNotReady));
    CHECK(panel->process.running());
    CHECK(dialog.waitResponsive());
    // The layout reply arrived before the device went.
    CHECK_EQ(dialog.text(IDC_H_EDIT), std::optional<std::string>("100"));

    beginCase("connect while the device is gone");
    CHECK(dialog.click(IDC_CONNECT));
    CHECK_EQ(dialog.text(IDC_STATUS), std::optional<std::string>(kOpenFailed));
    CHECK(!dialog.enabled(IDC_RECEIVE));

    beginCase("connect after the device is back");
    device.setFaults(sim::Faults{});
    // The device is back once its path can be opened again.
    CHECK(waitFor(kReactionLimit, [] { return WaitNamedPipeA(kDevicePath0, 1) != FALSE; }));
    CHECK(dialog.click(IDC_CONNECT));
    CHECK_EQ(device.opens(), 2);
    CHECK_EQ(commandCodes(entriesFrom(device.wireLog(), 3)), (std::vector<int>{0x30, 0x34, 0x35, 0x38, 0x39, 0x3F}));
    CHECK_EQ(dialog.text(IDC_STATUS), std::optional<std::string>("OSDパターン1を受信しました。\n"
                                                                 "入力解像度は1280×720（p）です。"));
    CHECK(dialog.enabled(IDC_RECEIVE));
    closePanel(*panel);
}

SW_SCENARIO(read_back_paints_colour_swatches,
            "colours 9 and 12: a blue swatch left of row 1 and a red one left of row 2, outlined in black") {
    HostedDevice device;
    auto panel = startDeviceAndPanel(context, device, setFirstDevice);
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;
    CHECK(dialog.waitPainted());
    const auto before = ClientImage::capture(dialog.window());
    CHECK(dialog.click(IDC_CONNECT));
    CHECK(dialog.waitPainted());
    const auto after = ClientImage::capture(dialog.window());
    CHECK(saveWindowImage(dialog.window(), context.outDir + "swatches.bmp"));
    if (!CHECK(before.has_value()) || !CHECK(after.has_value()))
        return;

    const struct {
        const char* which;
        int rowEdit;
        int colour;
    } swatches[] = {{"row 1, 青", IDC_ROW1, 9}, {"row 2, 赤", IDC_ROW2, 12}};
    for (const auto& swatch : swatches) {
        CheckContext about(swatch.which);
        // Before the first read-back no swatch is painted there.
        const RECT edit = rectInParentClient(dialog.window(), dialog.item(swatch.rowEdit));
        CHECK(before->at(edit.left - 15, (edit.top + edit.bottom) / 2) != std::optional(paletteColour(swatch.colour)));
        checkSwatch(dialog, swatch.rowEdit, paletteColour(swatch.colour), *before, *after);
    }
    closePanel(*panel);
}

}  // namespace sw::e2e
