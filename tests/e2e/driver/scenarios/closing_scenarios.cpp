// How the panel ends (exit codes by the way it is closed) and the keys that must not end it.

#include <windows.h>

#include <optional>
#include <string>

#include "panel/control_ids.h"
#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/panel.h"
#include "tests/e2e/driver/panel_texts.h"
#include "tests/e2e/driver/real_input.h"
#include "tests/e2e/driver/scenario.h"

namespace sw::e2e {
namespace {

using namespace sw::panel;

bool clickCloseButtonWithMouse(const RemoteDialog& dialog) {
    RECT button{};
    GetWindowRect(dialog.item(IDC_CLOSE), &button);
    return bringToFront(dialog.window()) &&
           clickAt(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
}

bool clickCloseButtonByMessage(const RemoteDialog& dialog) {
    return dialog.click(IDC_CLOSE);
}

// Wine draws the caption itself on the bed's display (no window manager), so its close box can be clicked.
bool clickCaptionCloseBox(const RemoteDialog& dialog) {
    POINT box{};
    return bringToFront(dialog.window()) && findCloseBox(dialog.window(), box) && clickAt(box);
}

bool chooseSystemMenuClose(const RemoteDialog& dialog) {
    return PostMessageA(dialog.window(), WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
}

bool sendWmClose(const RemoteDialog& dialog) {
    return PostMessageA(dialog.window(), WM_CLOSE, 0, 0) != FALSE;
}

struct CloseCase {
    const char* how;
    bool (*close)(const RemoteDialog& dialog);
    DWORD exitCode;
};

// The close button is code 1; whatever reaches the dialog as IDCANCEL (the caption's close box, the system
// menu's Close, WM_CLOSE) is code 2.
constexpr CloseCase kCloseCases[] = {
    {"mouse click on the close button", clickCloseButtonWithMouse, 1},
    {"BM_CLICK on the close button", clickCloseButtonByMessage, 1},
    {"mouse click on the caption's close box", clickCaptionCloseBox, 2},
    {"the system menu's Close (WM_SYSCOMMAND SC_CLOSE)", chooseSystemMenuClose, 2},
    {"WM_CLOSE", sendWmClose, 2},
};

}  // namespace

SW_SCENARIO(closing_exit_codes, "the close button ends the panel with 1, the caption's close box with 2") {
    for (const auto& closing : kCloseCases) {
        beginCase("%s", closing.how);
        CheckContext about(closing.how);
        auto panel = startPanel(context);
        if (!panel)
            return;
        if (!CHECK(closing.close(panel->dialog)))
            continue;
        CHECK_EQ(panel->process.waitExit(), std::optional<DWORD>(closing.exitCode));
        CHECK(!panel->dialog.exists());
    }
}

SW_SCENARIO(escape_and_enter_keep_dialog_open, "Esc and Enter, typed on the keyboard, neither close nor press") {
    auto panel = startPanel(context);
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;
    if (!CHECK(bringToFront(dialog.window())) || !CHECK(dialog.focus() == dialog.item(IDC_CLOSE)))
        return;
    const auto focusReaches = [&](int id) {
        return waitFor(kReactionLimit, [&] { return dialog.focus() == dialog.item(id) || !dialog.exists(); });
    };

    // With the focus on Close, the template's default button, the dialog manager would turn Enter into IDOK
    // (exit 1) and Esc into IDCANCEL (exit 2). Input is handled in order: once the Tab that follows has moved the
    // focus on, both keys have been handled.
    CHECK(pressKey(VK_RETURN));
    CHECK(pressKey(VK_ESCAPE));
    CHECK(pressKey(VK_TAB));
    CHECK(focusReaches(IDC_CONNECT));
    CHECK(panel->process.running());
    CHECK(dialog.exists());

    // With the focus on Connect, Enter given to the dialog manager would press Connect; delivered to the focused
    // button it does nothing. The next tab stop after Connect is Close again (all others are disabled).
    CHECK(pressKey(VK_RETURN));
    CHECK(pressKey(VK_TAB));
    CHECK(focusReaches(IDC_CLOSE));
    CHECK(panel->process.running());
    CHECK_EQ(dialog.text(IDC_STATUS), std::optional<std::string>(kStatusCaption));
    closePanel(*panel);
}

}  // namespace sw::e2e
