#pragma once
// The simulator's message loop while its monitor window is open.

#include <windows.h>

namespace sw::sim {

// Runs until the window is gone; `quit` (a manual-reset event, set by Ctrl+C or the end of stdin) closes the
// window from outside. Keyboard navigation among the window's controls works as in a dialog.
int runMonitorLoop(HWND window, HANDLE quit);

}  // namespace sw::sim
