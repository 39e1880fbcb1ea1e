#include "scripts/demo/remote_window.h"

#include <vector>

namespace sw::demo {
namespace {

// A panel busy with a device exchange does not answer for up to a few seconds; a read gives up long before.
constexpr UINT kAnswerLimitMs = 300;

BOOL CALLBACK findUnpainted(HWND child, LPARAM result) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(result) = false;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool waitUntil(Millis limit, const std::function<bool()>& condition) {
    const ULONGLONG deadline = GetTickCount64() + limit;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(50);
    }
}

HWND findVisibleWindow(const char* title) {
    HWND window = FindWindowA(nullptr, title);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

bool painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE))
        return false;
    bool allPainted = true;
    EnumChildWindows(window, findUnpainted, reinterpret_cast<LPARAM>(&allPainted));
    return allPainted;
}

std::optional<LRESULT> sendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerLimitMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::optional<std::string> textOf(HWND control) {
    const auto length = sendWithLimit(control, WM_GETTEXTLENGTH);
    if (!length)
        return std::nullopt;
    std::vector<char> text(static_cast<std::size_t>(*length) * 2 + 2, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerLimitMs, &copied))
        return std::nullopt;
    return std::string(text.data());
}

std::optional<std::wstring> wideTextOf(HWND control) {
    std::vector<wchar_t> text(256, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerLimitMs, &copied))
        return std::nullopt;
    return std::wstring(text.data());
}

}  // namespace sw::demo
