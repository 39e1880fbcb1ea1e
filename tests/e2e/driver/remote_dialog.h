#pragma once
// Reads and works the panel's dialog from the driver's process, the way a user or an accessibility tool would:
// window messages and window state only, nothing inside the panel. Reads that need the panel's thread time out
// instead of hanging while a device exchange blocks it; such a read gives "none".

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver/wait.h"

namespace sw::e2e {

// How long one read may wait for the panel's thread before it counts as busy.
inline constexpr Millis kReadLimit{2000};

class RemoteDialog {
public:
    explicit RemoteDialog(HWND dialog) : dialog_(dialog) {}

    HWND window() const { return dialog_; }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    bool exists() const { return IsWindow(dialog_) != FALSE; }
    DWORD threadId() const { return GetWindowThreadProcessId(dialog_, nullptr); }

    // --- reads (Shift-JIS text as the panel holds it) ---
    std::optional<std::string> text(int id) const;
    std::optional<std::string> title() const;
    // A control's text as UTF-16, for windows that hold text outside code page 932.
    std::optional<std::wstring> wideText(int id) const;
    bool enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }
    bool visible(int id) const { return IsWindowVisible(item(id)) != FALSE; }
    std::optional<LRESULT> send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    std::optional<LRESULT> sendToDialog(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    std::optional<int> checkState(int id) const;
    std::optional<int> comboSelection(int id) const;
    std::optional<std::vector<std::string>> comboEntries(int id) const;
    // The selected entry's text; none when nothing is selected.
    std::optional<std::string> comboText(int id) const;
    std::optional<int> editLimit(int id) const;
    // The captions of the dialog's buttons, group boxes and static texts, in template order; none if one cannot
    // be read.
    std::optional<std::vector<std::string>> captions() const;
    // (minimum, maximum) as the up-down control holds them; a reversed range has minimum > maximum.
    std::optional<std::pair<int, int>> upDownRange(int id) const;
    std::optional<HWND> upDownBuddy(int id) const;
    // The window of the panel's thread that has the keyboard focus (null if none).
    HWND focus() const;

    // --- actions ---
    // Clicks the button the way the keyboard or mouse would and returns once the panel has handled the click,
    // or after `limit` if its handler is still running then (false).
    bool click(int id, Millis limit = kReadBackLimit) const;
    // Posts the button's command and returns at once.
    bool postCommand(int id, int notification = BN_CLICKED) const;

    // --- waits ---
    bool waitForText(int id, const std::string& expected, Millis limit = kReactionLimit) const;
    // Waits until the panel's thread handles sent messages again (no handler blocks it any more).
    bool waitResponsive(Millis limit = kReadBackLimit) const;
    // The dialog and all its controls have painted themselves (no update region is left).
    bool painted() const;
    bool waitPainted(Millis limit = kReactionLimit) const;

private:
    HWND dialog_;
};

// The visible top-level window titled `title` of any process; null if there is none.
HWND findVisibleWindow(const char* title);

}  // namespace sw::e2e
