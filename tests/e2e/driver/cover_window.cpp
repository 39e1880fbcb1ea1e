#include "tests/e2e/driver/cover_window.h"

namespace sw::e2e {

namespace {

constexpr const char* kCoverClass = "SwE2eCover";

// The class background brush paints the whole window at its first WM_ERASEBKGND; the brush lives as long as the
// driver.
bool RegisterCoverClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = CreateSolidBrush(kCoverColour);
        windowClass.lpszClassName = kCoverClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

}  // namespace

CoverWindow::CoverWindow(const RECT& screenRect, Millis limit) {
    if (!RegisterCoverClass())
        return;
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, "cover", WS_POPUP, screenRect.left,
                              screenRect.top, screenRect.right - screenRect.left, screenRect.bottom - screenRect.top,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr)
        return;
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    shown_ = waitFor(limit, [this] { return IsWindowVisible(window_) && !GetUpdateRect(window_, nullptr, FALSE); });
}

CoverWindow::~CoverWindow() {
    remove();
}

void CoverWindow::remove() {
    if (window_ != nullptr)
        DestroyWindow(window_);
    window_ = nullptr;
    shown_ = false;
}

}  // namespace sw::e2e
