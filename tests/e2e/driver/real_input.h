#pragma once
// Input as the user makes it: key presses and mouse clicks go through the system's input queue (SendInput) to
// whichever window is in front and has the focus, and then through the panel's own message loop and filters.

#include <windows.h>

#include "tests/e2e/driver/wait.h"

namespace sw::e2e {

// Brings `window` to the front and waits until the system reports it as the foreground window.
bool bringToFront(HWND window, Millis limit = kReactionLimit);

// One press and release of a key (a virtual-key code) into the input queue.
bool pressKey(WORD virtualKey);

// A key pressed while a modifier key (VK_CONTROL, VK_SHIFT...) is held down: a shortcut such as Ctrl+Z.
bool pressKeyWith(WORD modifier, WORD virtualKey);

// One press and release of a key that types `character` (KEYEVENTF_UNICODE: the panel gets the UTF-16 unit as
// its character message, whatever the keyboard layout).
bool pressCharacter(wchar_t character);

// A left click at a point on the screen (physical pixels).
bool clickAt(POINT screenPoint);

// The screen point in the middle of the close box of `window`'s caption, as the window's own hit test finds it.
bool findCloseBox(HWND window, POINT& screenPoint);

}  // namespace sw::e2e
