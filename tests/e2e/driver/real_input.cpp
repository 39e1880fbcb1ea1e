#include "tests/e2e/driver/real_input.h"

#include <array>
#include <optional>

namespace sw::e2e {

bool bringToFront(HWND window, Millis limit) {
    return waitFor(limit, [&] {
        if (GetForegroundWindow() == window)
            return true;
        SetForegroundWindow(window);
        return GetForegroundWindow() == window;
    });
}

bool pressKey(WORD virtualKey) {
    std::array<INPUT, 2> keys{};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = virtualKey;
    keys[0].ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

bool pressKeyWith(WORD modifier, WORD virtualKey) {
    std::array<INPUT, 4> keys{};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const WORD key = i == 0 || i == 3 ? modifier : virtualKey;
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = key;
        keys[i].ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

bool pressCharacter(wchar_t character) {
    std::array<INPUT, 2> keys{};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wScan = static_cast<WORD>(character);
    keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

bool clickAt(POINT screenPoint) {
    if (!SetCursorPos(screenPoint.x, screenPoint.y))
        return false;
    std::array<INPUT, 2> buttons{};
    buttons[0].type = INPUT_MOUSE;
    buttons[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    buttons[1].type = INPUT_MOUSE;
    buttons[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(static_cast<UINT>(buttons.size()), buttons.data(), sizeof(INPUT)) == buttons.size();
}

namespace {

std::optional<LRESULT> hitTest(HWND window, int x, int y) {
    DWORD_PTR hit = 0;
    if (!SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 2000, &hit))
        return std::nullopt;
    return static_cast<LRESULT>(hit);
}

}  // namespace

// The close box sits at the right end of the caption: the strip is scanned for the points the window itself calls
// HTCLOSE, so the click lands where the window draws the box, whatever the metrics of the frame are.
bool findCloseBox(HWND window, POINT& screenPoint) {
    RECT frame{};
    if (!GetWindowRect(window, &frame))
        return false;
    const int strip = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
    for (int y = frame.top; y < frame.top + strip; ++y) {
        for (int x = frame.right - 1; x > frame.right - 3 * strip; --x) {
            if (hitTest(window, x, y) != HTCLOSE)
                continue;
            int left = x;
            while (hitTest(window, left - 1, y) == HTCLOSE)
                --left;
            const int middleX = (left + x) / 2;
            int bottom = y;
            while (hitTest(window, middleX, bottom + 1) == HTCLOSE)
                ++bottom;
            screenPoint = POINT{middleX, (y + bottom) / 2};
            return true;
        }
    }
    return false;
}

}  // namespace sw::e2e
