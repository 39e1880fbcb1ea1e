#pragma once
// Setting the panel's controls from outside, as another program or the user would: window messages that the
// controls handle as their own (the panel sees the same notifications as from typing or clicking), and real key
// presses and clicks aimed at a control.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "tests/e2e/driver/remote_dialog.h"

namespace sw::e2e {

// WM_SETTEXT: the edit raises EN_CHANGE as when typed into. `text` is Shift-JIS, set as Unicode.
bool setControlText(const RemoteDialog& dialog, int id, const std::string& text);
// CB_SETCURSEL (which raises no notification, like a selection made by the panel itself).
bool selectListEntry(const RemoteDialog& dialog, int id, int index);
// EM_SETSEL over the whole text, so that the next key typed replaces it.
bool selectWholeText(const RemoteDialog& dialog, int id);
// EM_GETSEL: (start, end) of the selection; the caret stands at the end.
std::optional<std::pair<int, int>> textSelection(const RemoteDialog& dialog, int id);

// One press and release per character; digits and upper-case letters are their own virtual-key codes.
bool typeKeys(std::string_view keys);
// Any text, one UTF-16 unit per key press, as an input method or an on-screen keyboard delivers it.
bool typeText(std::wstring_view text);

// The screen point at the given fractions of the control's width and height (0.5, 0.5: its middle).
POINT pointInControl(const RemoteDialog& dialog, int id, double acrossX, double downY);

}  // namespace sw::e2e
