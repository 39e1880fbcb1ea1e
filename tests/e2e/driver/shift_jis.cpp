#include "tests/e2e/driver/shift_jis.h"

#include <windows.h>

#include "win32/code_page_text.h"

namespace sw::e2e {

namespace {

constexpr UINT kShiftJis = 932;

}  // namespace

std::wstring wideFromShiftJis(std::string_view shiftJis) {
    return win32::toWide(kShiftJis, shiftJis);
}

std::string shiftJisFromWide(std::wstring_view wide) {
    return win32::fromWide(kShiftJis, wide, WC_NO_BEST_FIT_CHARS, "?");
}

}  // namespace sw::e2e
