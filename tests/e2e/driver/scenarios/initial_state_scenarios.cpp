// The dialog as the panel shows it right after start, before any device is involved.

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "panel/control_ids.h"
#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/panel.h"
#include "tests/e2e/driver/panel_texts.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/screenshot.h"

namespace sw::e2e {
namespace {

using namespace sw::panel;

struct EnabledCase {
    int id;
    bool enabled;
};

// Only the product list, Connect and Close can be used; the up-downs are never disabled (they act only through
// their buddies, which are).
constexpr EnabledCase kInitialEnabled[] = {
    {IDC_PRODUCT, true},  {IDC_CONNECT, true},  {IDC_CLOSE, true},    {IDC_H_UPDOWN, true}, {IDC_V_UPDOWN, true},
    {IDC_SEND, false},    {IDC_RECEIVE, false}, {IDC_ROW1, false},    {IDC_ROW2, false},    {IDC_DEVICE_TEXT, false},
    {IDC_H_EDIT, false},  {IDC_V_EDIT, false},  {IDC_COLOUR1, false}, {IDC_COLOUR2, false}, {IDC_HALFTONE, false},
    {IDC_SIZE_X1, false}, {IDC_SIZE_X2, false}, {IDC_SIZE_X3, false}, {IDC_SIZE_X4, false},
};

struct CheckStateCase {
    int id;
    int state;
};

constexpr CheckStateCase kInitialCheckStates[] = {
    {IDC_SIZE_X1, BST_CHECKED},   {IDC_SIZE_X2, BST_UNCHECKED},  {IDC_SIZE_X3, BST_UNCHECKED},
    {IDC_SIZE_X4, BST_UNCHECKED}, {IDC_HALFTONE, BST_UNCHECKED},
};

struct LimitCase {
    int id;
    int limit;
};

// Four digits for a position; sixteen Shift-JIS bytes for a text row.
constexpr LimitCase kEditLimits[] = {{IDC_H_EDIT, 4}, {IDC_V_EDIT, 4}, {IDC_ROW1, 16}, {IDC_ROW2, 16}};

constexpr int kEmptyEdits[] = {IDC_H_EDIT, IDC_V_EDIT, IDC_ROW1, IDC_ROW2, IDC_DEVICE_TEXT};

// The colour names in palette order; the lists must show exactly these, in this order.
const std::vector<std::string> kPaletteNames = {
    "黒", "ネイビー", "緑",     "青緑", "栗色", "紫",   "オリーブ", "銀",
    "灰", "青",       "ライム", "水色", "赤",   "赤紫", "黄",       "白",
};

// The template's captions of buttons, group boxes and static texts, in template order.
const std::vector<std::string> kCaptions = {
    "閉じる", "製品", "接続",         "ポジション", "水平（H）", "垂直（V）", "カラー", "サイズ", "×1",         "×2",
    "×3",     "×4",   "ハーフトーン", "文字",       "1列目",     "2列目",     "送信",   "受信",   "ステータス",
};

std::string controlName(int id) {
    return "control " + std::to_string(id);
}

// The dialog has no owner: it starts centred in the screen's work area.
void checkCentred(HWND dialog) {
    RECT area{};
    RECT frame{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(dialog, &frame);
    const int expectedLeft = area.left + ((area.right - area.left) - (frame.right - frame.left)) / 2;
    const int expectedTop = area.top + ((area.bottom - area.top) - (frame.bottom - frame.top)) / 2;
    CHECK(std::abs(frame.left - expectedLeft) <= 1);
    CHECK(std::abs(frame.top - expectedTop) <= 1);
}

}  // namespace

SW_SCENARIO_ON_CODE_PAGES(initial_control_states, "every control of the dialog right after start, and its screenshot") {
    auto panel = startPanel(context);
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;

    CHECK_EQ(dialog.title(), std::optional<std::string>("Stampwright"));
    CHECK_EQ(dialog.captions(), std::optional(kCaptions));
    for (const auto& [id, enabled] : kInitialEnabled) {
        CheckContext about(controlName(id));
        CHECK_EQ(dialog.enabled(id), enabled);
    }
    CHECK_EQ(dialog.comboEntries(IDC_PRODUCT), std::optional(std::vector<std::string>{"ZEL-OT40"}));
    CHECK_EQ(dialog.comboText(IDC_PRODUCT), std::optional<std::string>("ZEL-OT40"));
    for (const int list : {IDC_COLOUR1, IDC_COLOUR2}) {
        CheckContext about(controlName(list));
        CHECK_EQ(dialog.comboEntries(list), std::optional(kPaletteNames));
        CHECK_EQ(dialog.comboText(list), std::optional<std::string>("黒"));
    }
    for (const auto& [id, state] : kInitialCheckStates) {
        CheckContext about(controlName(id));
        CHECK_EQ(dialog.checkState(id), std::optional(state));
    }
    for (const int id : kEmptyEdits) {
        CheckContext about(controlName(id));
        CHECK_EQ(dialog.text(id), std::optional<std::string>(""));
    }
    CHECK_EQ(dialog.text(IDC_STATUS), std::optional<std::string>(kStatusCaption));
    for (const auto& [id, limit] : kEditLimits) {
        CheckContext about(controlName(id));
        CHECK_EQ(dialog.editLimit(id), std::optional(limit));
    }
    // (minimum, maximum): the V range is reversed, so its upper arrow counts toward 0.
    CHECK_EQ(dialog.upDownRange(IDC_H_UPDOWN), std::optional(std::pair{0, 2047}));
    CHECK_EQ(dialog.upDownRange(IDC_V_UPDOWN), std::optional(std::pair{2047, 0}));
    // Each up-down takes the control before it in the template as its buddy.
    CHECK(dialog.upDownBuddy(IDC_H_UPDOWN) == dialog.item(IDC_H_EDIT));
    CHECK(dialog.upDownBuddy(IDC_V_UPDOWN) == dialog.item(IDC_V_EDIT));
    // The first tab stop, Close, has the focus.
    CHECK(dialog.focus() == dialog.item(IDC_CLOSE));
    checkCentred(dialog.window());
    // (The icons cannot be read from here: Wine 8 answers WM_GETICON from another process with none.)

    CHECK(dialog.waitPainted());
    CHECK(saveWindowImage(dialog.window(), context.outDir + "dialog" + codePageSuffix(context) + ".bmp"));
    closePanel(*panel);
}

}  // namespace sw::e2e
