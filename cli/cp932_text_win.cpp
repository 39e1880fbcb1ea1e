// The system's code page 932 tables. WC_NO_BEST_FIT_CHARS keeps Windows from quietly putting a look-alike in
// place of a character the code page lacks; each character is converted alone so the refused one can be named.

#include <windows.h>

#include <string>

#include "cli/cp932_text.h"
#include "win32/code_page_text.h"

namespace sw::cli {

namespace {

constexpr UINT kCodePage932 = 932;

}  // namespace

Cp932Conversion utf8ToCp932(std::string_view utf8) {
    Cp932Conversion result;
    const std::wstring wide = win32::toWide(CP_UTF8, utf8, MB_ERR_INVALID_CHARS);
    if (wide.empty() && !utf8.empty()) {
        result.unmappable = "(text that is not valid UTF-8)";
        return result;
    }
    for (std::size_t i = 0; i < wide.size();) {
        // One character: a surrogate pair stays together.
        const std::size_t length = (IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size()) ? 2 : 1;
        const std::wstring_view character(wide.data() + i, length);
        BOOL usedDefault = FALSE;
        const std::string bytes = win32::fromWide(kCodePage932, character, WC_NO_BEST_FIT_CHARS, nullptr, &usedDefault);
        if (bytes.empty() || usedDefault) {
            result.unmappable = win32::fromWide(CP_UTF8, character);
            result.bytes.clear();
            return result;
        }
        result.bytes += bytes;
        i += length;
    }
    result.ok = true;
    return result;
}

std::string cp932ToUtf8(std::string_view cp932) {
    // Without MB_ERR_INVALID_CHARS a byte that is no character becomes U+FFFD (or the code page's default).
    return win32::fromWide(CP_UTF8, win32::toWide(kCodePage932, cp932));
}

}  // namespace sw::cli
