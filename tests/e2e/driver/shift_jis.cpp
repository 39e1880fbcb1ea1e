#include "tests/e2e/driver/shift_jis.h"

#include <windows.h>

namespace sw::e2e {

namespace {

constexpr UINT kShiftJis = 932;

}  // namespace

std::wstring wideFromShiftJis(std::string_view shiftJis) {
    if (shiftJis.empty())
        return {};
    const int length = static_cast<int>(shiftJis.size());
    const int size = MultiByteToWideChar(kShiftJis, 0, shiftJis.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(kShiftJis, 0, shiftJis.data(), length, wide.data(), size);
    return wide;
}

std::string shiftJisFromWide(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, "?", nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), length, text.data(), size, "?", nullptr);
    return text;
}

}  // namespace sw::e2e
