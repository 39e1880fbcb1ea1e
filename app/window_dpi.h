#pragma once
// The DPI a window is shown at.

#include <windows.h>

namespace sw::app {

// GetDpiForWindow where the system has it (Windows 10 1607 on); before that the DPI of the window's device
// context, which is the system DPI for every monitor.
int WindowDpi(HWND window);

}  // namespace sw::app
