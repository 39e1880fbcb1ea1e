// The demo's driver, run in the same Wine prefix and display as the panel and the simulator:
//
//   demo-driver arrange          waits for the panel and the monitor window and puts them side by side
//   demo-driver check <bmp>      also connects, sends row 1 "ABC" at H 100, V 50, x2 in 赤, checks the monitor's
//                                picture on the screen, and saves both windows as a BMP file
//
// Exit status 0 when every step and check passed.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>

#include "panel/control_ids.h"
#include "protocol/colour_palette.h"
#include "protocol/signal_format.h"
#include "sim/monitor_ids.h"
#include "sim/osd_layout.h"
#include "tests/e2e/demo/monitor_check.h"
#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/remote_dialog.h"
#include "tests/e2e/driver/screen_pixels.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/wait.h"

namespace {

using sw::e2e::Millis;
using sw::e2e::RemoteDialog;

constexpr const char* kPanelTitle = "Stampwright";
// Both programs start in well under a second once the wineserver runs; a cold Wine may take several.
constexpr Millis kWindowsLimit{30'000};
// A send ends with the panel's two-second completion.
constexpr Millis kSendLimit{20'000};
// The monitor repaints within a frame of the last setting command.
constexpr Millis kRepaintLimit{5'000};

constexpr int kRowHPosition = 100;
constexpr int kRowVPosition = 50;
constexpr int kSizeIndexX2 = 1;
constexpr char kRowText[] = "ABC";
constexpr char kRowColourName[] = "赤";
constexpr char kReadBackDone[] = "OSDパターン";
constexpr char kSent[] = "送信しました。";

struct Windows {
    HWND panel = nullptr;
    HWND monitor = nullptr;
};

bool fail(const char* what) {
    std::printf("FAILED: %s\n", what);
    return false;
}

std::optional<Windows> waitForWindows() {
    Windows w;
    const bool found = sw::e2e::waitFor(kWindowsLimit, [&] {
        w.panel = sw::e2e::findVisibleWindow(kPanelTitle);
        w.monitor = sw::e2e::findVisibleWindow(sw::sim::kMonitorTitleAnsi);
        return w.panel != nullptr && w.monitor != nullptr;
    });
    if (!found) {
        std::printf("FAILED: window not shown within %lu s:%s%s\n", kWindowsLimit.count() / 1000,
                    w.panel ? "" : " \"Stampwright\"", w.monitor ? "" : " \"ZEL-OT40 (simulated)\"");
        return std::nullopt;
    }
    return w;
}

// The panel at the screen's left edge, the monitor filling the width to its right.
void arrange(const Windows& w) {
    RECT panel{};
    RECT monitor{};
    GetWindowRect(w.panel, &panel);
    GetWindowRect(w.monitor, &monitor);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int panelWidth = panel.right - panel.left;
    // The monitor keeps its own smallest size if the rest of the screen is narrower.
    const int monitorWidth = screenWidth - panelWidth;
    const int monitorHeight = std::min(screenHeight, static_cast<int>(monitor.bottom - monitor.top));
    SetWindowPos(w.panel, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(w.monitor, nullptr, panelWidth, 0, monitorWidth, monitorHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool waitForStatus(const RemoteDialog& panel, Millis limit, const char* expected, bool prefix) {
    std::string last;
    const bool seen = sw::e2e::waitFor(limit, [&] {
        const auto text = panel.text(sw::panel::IDC_STATUS);
        if (text)
            last = *text;
        return text && (prefix ? text->rfind(expected, 0) == 0 : *text == expected);
    });
    // The status text is Shift-JIS; the demo script shows the output as UTF-8.
    std::printf("panel status: %s\n", last.c_str());
    return seen;
}

std::optional<int> paletteIndex(const char* name) {
    for (std::size_t i = 0; i < sw::protocol::ColourPalette.size(); ++i) {
        if (std::strcmp(sw::protocol::ColourPalette[i].name, name) == 0)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

bool connectAndSend(const RemoteDialog& panel, int colourIndex) {
    using namespace sw::panel;
    std::printf("connect\n");
    // Posted, so the driver is free while the panel is busy with the device.
    panel.postCommand(IDC_CONNECT);
    if (!waitForStatus(panel, sw::e2e::kReadBackLimit, kReadBackDone, true))
        return fail("the read-back did not finish");

    const std::string h = std::to_string(kRowHPosition);
    const std::string v = std::to_string(kRowVPosition);
    using sw::e2e::setControlText;
    const bool edited = setControlText(panel, IDC_H_EDIT, h) && setControlText(panel, IDC_V_EDIT, v) &&
                        setControlText(panel, IDC_ROW1, kRowText) && panel.send(IDC_SIZE_X2, BM_CLICK).has_value() &&
                        sw::e2e::selectListEntry(panel, IDC_COLOUR1, colourIndex) &&
                        panel
                            .sendToDialog(WM_COMMAND, MAKEWPARAM(IDC_COLOUR1, CBN_SELCHANGE),
                                          reinterpret_cast<LPARAM>(panel.item(IDC_COLOUR1)))
                            .has_value();
    if (!edited)
        return fail("the panel did not take the new settings");
    if (panel.checkState(IDC_SIZE_X2) != BST_CHECKED || panel.comboSelection(IDC_COLOUR1) != colourIndex)
        return fail("the size or the colour did not change");

    std::printf("send: row 1 \"%s\" at H %d, V %d, x2, colour %s\n", kRowText, kRowHPosition, kRowVPosition,
                kRowColourName);
    panel.postCommand(IDC_SEND);
    if (!waitForStatus(panel, kSendLimit, kSent, false))
        return fail("the send did not end in success");
    return true;
}

// The picture's format as the monitor states it under the picture, e.g. "1280×720 p".
std::optional<sw::protocol::SignalFormat> monitorFormat(HWND monitor) {
    const auto label = RemoteDialog(monitor).wideText(sw::sim::kMonitorFormatId);
    int width = 0;
    int height = 0;
    wchar_t scan = 0;
    if (!label || std::swscanf(label->c_str(), L"%d\u00D7%d %lc", &width, &height, &scan) != 3)
        return std::nullopt;
    return sw::protocol::SignalFormat{true, width, height, scan == L'i'};
}

sw::sim::PixelRect screenRectOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

RECT bothWindows(const Windows& w) {
    RECT a{};
    RECT b{};
    GetWindowRect(w.panel, &a);
    GetWindowRect(w.monitor, &b);
    // Within the screen: what lies beyond it has no pixels to copy.
    return {std::max(0L, std::min(a.left, b.left)), std::max(0L, std::min(a.top, b.top)),
            std::min<LONG>(GetSystemMetrics(SM_CXSCREEN), std::max(a.right, b.right)),
            std::min<LONG>(GetSystemMetrics(SM_CYSCREEN), std::max(a.bottom, b.bottom))};
}

bool checkMonitor(const Windows& w, int colourIndex, const std::string& bmpPath) {
    const auto format = monitorFormat(w.monitor);
    if (!format)
        return fail("the monitor does not state the picture's resolution");
    std::printf("monitor picture: %dx%d %c\n", format->width, format->height, format->interlaced ? 'i' : 'p');

    sw::sim::Ot40Settings sent;
    sent.hPosition = kRowHPosition;
    sent.vPosition = kRowVPosition;
    sent.sizeIndex = kSizeIndexX2;
    sent.colour1 = static_cast<std::uint8_t>(colourIndex);
    sent.row1 = {};
    for (std::size_t k = 0; k + 1 < sizeof kRowText; ++k)
        sent.row1[2 * k + 1] = static_cast<std::uint8_t>(kRowText[k]);  // three cells; their glyphs do not matter
    sent.row2 = {};

    const sw::sim::PixelRect view = screenRectOf(GetDlgItem(w.monitor, sw::sim::kMonitorPictureId));
    const RECT wholeScreen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    sw::demo::MonitorCheck check;
    check.failures.push_back("the screen could not be copied");
    sw::e2e::waitFor(kRepaintLimit, [&] {
        // A screen taken while a window is still drawing itself shows half a picture.
        if (!RemoteDialog(w.panel).painted() || !RemoteDialog(w.monitor).painted())
            return false;
        const auto screen = sw::e2e::ClientImage::captureScreen(wholeScreen);
        if (!screen)
            return false;
        check = sw::demo::checkMonitorPicture(*screen, view, *format, sent);
        return check.passed();
    });
    for (const std::string& finding : check.findings)
        std::printf("  %s\n", finding.c_str());
    for (const std::string& failure : check.failures)
        std::printf("FAILED: %s\n", failure.c_str());

    if (!sw::e2e::saveScreenArea(bothWindows(w), bmpPath))
        return fail("the screenshot could not be saved");
    return check.passed();
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const bool arrangeOnly = argc == 2 && std::strcmp(argv[1], "arrange") == 0;
    const bool fullCheck = argc == 3 && std::strcmp(argv[1], "check") == 0;
    if (!arrangeOnly && !fullCheck) {
        std::printf("usage: demo-driver arrange | demo-driver check <screenshot.bmp>\n");
        return 2;
    }
    const auto windows = waitForWindows();
    if (!windows)
        return 1;
    arrange(*windows);
    std::printf("panel and monitor side by side\n");
    if (arrangeOnly)
        return 0;

    const auto colourIndex = paletteIndex(kRowColourName);
    if (!colourIndex)
        return fail("the palette has no such colour") ? 0 : 1;
    if (!connectAndSend(RemoteDialog(windows->panel), *colourIndex))
        return 1;
    if (!checkMonitor(*windows, *colourIndex, argv[2]))
        return 1;
    std::printf("monitor check passed\n");
    return 0;
}
