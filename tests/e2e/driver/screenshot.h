#pragma once
// Saves what the screen shows (of a window, a part of the screen, or all of it) as a 24-bit BMP file; the bed's
// runner turns it into PNG.

#include <windows.h>

#include <string>

namespace sw::e2e {

bool saveWindowImage(HWND window, const std::string& bmpPath);
// A part of the screen, in screen coordinates.
bool saveScreenArea(const RECT& area, const std::string& bmpPath);
// The whole screen.
bool saveScreenImage(const std::string& bmpPath);

}  // namespace sw::e2e
