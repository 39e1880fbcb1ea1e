#pragma once
// Another process's windows as the demo driver sees them: found by title, read and worked with window messages
// that give up after a while instead of hanging when that process's thread is busy.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace sw::demo {

// Milliseconds. (<chrono> is kept out: its micro sign has no code page 932 form.)
using Millis = unsigned long long;

// Polls `condition` every 50 ms until it holds (true) or `limit` has passed (false).
bool waitUntil(Millis limit, const std::function<bool()>& condition);

// The visible top-level window with this title, if there is one.
HWND findVisibleWindow(const char* title);

// Control text: ANSI (code page 932, as the panel holds it) and UTF-16; none when the owner did not answer.
std::optional<std::string> textOf(HWND control);
std::optional<std::wstring> wideTextOf(HWND control);

// The window and all its controls have painted themselves: no update region is left.
bool painted(HWND window);

std::optional<LRESULT> sendWithLimit(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace sw::demo
