#include "tests/e2e/driver/dialog_input.h"

#include "tests/e2e/driver/real_input.h"
#include "tests/e2e/driver/shift_jis.h"

namespace sw::e2e {

bool setControlText(const RemoteDialog& dialog, int id, const std::string& text) {
    const HWND control = dialog.item(id);
    const std::wstring wide = wideFromShiftJis(text);
    DWORD_PTR result = 0;
    return control &&
           SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL,
                               static_cast<UINT>(kReadLimit.count()), &result) &&
           result == TRUE;
}

bool selectListEntry(const RemoteDialog& dialog, int id, int index) {
    const auto result = dialog.send(id, CB_SETCURSEL, static_cast<WPARAM>(index));
    return result && *result == index;
}

bool selectWholeText(const RemoteDialog& dialog, int id) {
    return dialog.send(id, EM_SETSEL, 0, -1).has_value();
}

// EM_GETSEL with null pointers answers in its result (start in the low word, end in the high word), which
// crosses processes where the pointer form would not.
std::optional<std::pair<int, int>> textSelection(const RemoteDialog& dialog, int id) {
    const auto result = dialog.send(id, EM_GETSEL);
    if (!result)
        return std::nullopt;
    const auto packed = static_cast<DWORD>(*result);
    return std::pair{static_cast<int>(LOWORD(packed)), static_cast<int>(HIWORD(packed))};
}

bool typeKeys(std::string_view keys) {
    for (const char key : keys) {
        if (!pressKey(static_cast<WORD>(static_cast<unsigned char>(key))))
            return false;
    }
    return true;
}

bool typeText(std::wstring_view text) {
    for (const wchar_t character : text) {
        if (!pressCharacter(character))
            return false;
    }
    return true;
}

POINT pointInControl(const RemoteDialog& dialog, int id, double acrossX, double downY) {
    RECT rect{};
    GetWindowRect(dialog.item(id), &rect);
    return POINT{rect.left + static_cast<LONG>((rect.right - rect.left) * acrossX),
                 rect.top + static_cast<LONG>((rect.bottom - rect.top) * downY)};
}

}  // namespace sw::e2e
