#pragma once
// A plain window of the driver's own, laid over another window the way a user drags one window across another:
// whatever it covers is painted over on the screen, and shows again only if its owner repaints it.

#include <windows.h>

#include "tests/e2e/driver/wait.h"

namespace sw::e2e {

// The colour the cover paints; no palette colour, so it cannot be taken for a swatch.
inline constexpr COLORREF kCoverColour = RGB(0x40, 0xC0, 0x80);

class CoverWindow {
public:
    // Shows a topmost window over `screenRect` and waits until it has painted itself (none: not shown in time).
    explicit CoverWindow(const RECT& screenRect, Millis limit = kReactionLimit);
    CoverWindow(const CoverWindow&) = delete;
    CoverWindow& operator=(const CoverWindow&) = delete;
    ~CoverWindow();

    bool shown() const { return shown_; }
    // Takes the window away; the covered windows get their repaint.
    void remove();

private:
    HWND window_ = nullptr;
    bool shown_ = false;
};

}  // namespace sw::e2e
