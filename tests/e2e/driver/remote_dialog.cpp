#include "tests/e2e/driver/remote_dialog.h"

#include <commctrl.h>

#include "tests/e2e/driver/shift_jis.h"

namespace sw::e2e {

namespace {

std::optional<LRESULT> sendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Millis limit) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(limit.count()), &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::optional<LRESULT> sendWideWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(kReadLimit.count()),
                             &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

// WM_GETTEXT is carried across processes by the system (also in Wine), so the buffer may live in the driver. The
// Unicode form reads what the panel shows whatever code page either process runs with.
std::optional<std::wstring> wideWindowText(HWND window) {
    const auto length = sendWideWithLimit(window, WM_GETTEXTLENGTH, 0, 0);
    if (!length)
        return std::nullopt;
    std::wstring text(static_cast<std::size_t>(*length) + 1, L'\0');
    const auto copied = sendWideWithLimit(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (!copied)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(*copied));
    return text;
}

std::optional<std::string> windowText(HWND window) {
    const auto text = wideWindowText(window);
    if (!text)
        return std::nullopt;
    return shiftJisFromWide(*text);
}

}  // namespace

std::optional<std::string> RemoteDialog::text(int id) const {
    const HWND control = item(id);
    if (!control)
        return std::nullopt;
    return windowText(control);
}

std::optional<std::string> RemoteDialog::title() const {
    return windowText(dialog_);
}

std::optional<std::wstring> RemoteDialog::wideText(int id) const {
    const HWND control = item(id);
    if (!control)
        return std::nullopt;
    return wideWindowText(control);
}

std::optional<LRESULT> RemoteDialog::send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    const HWND control = item(id);
    if (!control)
        return std::nullopt;
    return sendWithLimit(control, message, wParam, lParam, kReadLimit);
}

std::optional<LRESULT> RemoteDialog::sendToDialog(UINT message, WPARAM wParam, LPARAM lParam) const {
    return sendWithLimit(dialog_, message, wParam, lParam, kReadLimit);
}

std::optional<int> RemoteDialog::checkState(int id) const {
    const auto state = send(id, BM_GETCHECK);
    if (!state)
        return std::nullopt;
    return static_cast<int>(*state);
}

std::optional<int> RemoteDialog::comboSelection(int id) const {
    const auto selection = send(id, CB_GETCURSEL);
    if (!selection)
        return std::nullopt;
    return static_cast<int>(*selection);
}

// The Unicode form, as for the window texts (under Wine 8 an ANSI CB_GETLBTEXT from another process also comes
// back as UTF-16 cut to the ANSI length).
std::optional<std::vector<std::string>> RemoteDialog::comboEntries(int id) const {
    const HWND list = item(id);
    if (!list)
        return std::nullopt;
    const auto count = send(id, CB_GETCOUNT);
    if (!count || *count < 0)
        return std::nullopt;
    std::vector<std::string> entries;
    for (LRESULT index = 0; index < *count; ++index) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, SMTO_NORMAL, kReadLimit.count(),
                                 &length) ||
            static_cast<LRESULT>(length) < 0)
            return std::nullopt;
        std::wstring wide(length + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()),
                                 SMTO_NORMAL, kReadLimit.count(), &copied) ||
            static_cast<LRESULT>(copied) < 0)
            return std::nullopt;
        wide.resize(copied);
        entries.push_back(shiftJisFromWide(wide));
    }
    return entries;
}

std::optional<std::string> RemoteDialog::comboText(int id) const {
    const auto selection = comboSelection(id);
    const auto entries = comboEntries(id);
    if (!selection || !entries || *selection < 0 || *selection >= static_cast<int>(entries->size()))
        return std::nullopt;
    return (*entries)[static_cast<std::size_t>(*selection)];
}

std::optional<int> RemoteDialog::editLimit(int id) const {
    const auto limit = send(id, EM_GETLIMITTEXT);
    if (!limit)
        return std::nullopt;
    return static_cast<int>(*limit);
}

namespace {

BOOL CALLBACK collectCaptioned(HWND child, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Button") == 0 || lstrcmpiW(className, L"Static") == 0)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    return TRUE;
}

}  // namespace

// Child windows are listed in z-order, which for a dialog is the template order.
std::optional<std::vector<std::string>> RemoteDialog::captions() const {
    std::vector<HWND> children;
    EnumChildWindows(dialog_, collectCaptioned, reinterpret_cast<LPARAM>(&children));
    std::vector<std::string> texts;
    for (const HWND child : children) {
        auto text = windowText(child);
        if (!text)
            return std::nullopt;
        texts.push_back(std::move(*text));
    }
    return texts;
}

// UDM_GETRANGE32 would write through pointers into the driver's memory, which no system carries across
// processes; UDM_GETRANGE returns both ends in its result (maximum in the low word, minimum in the high word).
std::optional<std::pair<int, int>> RemoteDialog::upDownRange(int id) const {
    const auto range = send(id, UDM_GETRANGE);
    if (!range)
        return std::nullopt;
    const auto packed = static_cast<DWORD>(*range);
    const int maximum = static_cast<short>(LOWORD(packed));
    const int minimum = static_cast<short>(HIWORD(packed));
    return std::pair{minimum, maximum};
}

std::optional<HWND> RemoteDialog::upDownBuddy(int id) const {
    const auto buddy = send(id, UDM_GETBUDDY);
    if (!buddy)
        return std::nullopt;
    return reinterpret_cast<HWND>(*buddy);
}

HWND RemoteDialog::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(threadId(), &info))
        return nullptr;
    return info.hwndFocus;
}

// BM_CLICK runs the button's own press and release, so the panel sees the same BN_CLICKED as from the mouse;
// the send returns when the panel's handler (which may run a whole device exchange) has returned.
bool RemoteDialog::click(int id, Millis limit) const {
    const HWND button = item(id);
    if (!button)
        return false;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, static_cast<UINT>(limit.count()), &ignored) != 0 ||
           !exists();
}

bool RemoteDialog::postCommand(int id, int notification) const {
    return PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(item(id))) != FALSE;
}

bool RemoteDialog::waitForText(int id, const std::string& expected, Millis limit) const {
    return waitFor(limit, [&] { return text(id) == expected; });
}

bool RemoteDialog::waitResponsive(Millis limit) const {
    return waitFor(limit, [&] { return sendWithLimit(dialog_, WM_NULL, 0, 0, Millis{200}).has_value(); });
}

namespace {

BOOL CALLBACK findUnpainted(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool RemoteDialog::painted() const {
    bool unpainted = GetUpdateRect(dialog_, nullptr, FALSE) != FALSE;
    if (!unpainted)
        EnumChildWindows(dialog_, findUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

bool RemoteDialog::waitPainted(Millis limit) const {
    return waitFor(limit, [&] { return painted(); });
}

HWND findVisibleWindow(const char* title) {
    const HWND window = FindWindowA(nullptr, title);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

}  // namespace sw::e2e
