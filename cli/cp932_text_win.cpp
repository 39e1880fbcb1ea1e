// The system's code page 932 tables. WC_NO_BEST_FIT_CHARS keeps Windows from quietly putting a look-alike in
// place of a character the code page lacks; each character is converted alone so the refused one can be named.

#include <windows.h>

#include <string>

#include "cli/cp932_text.h"

namespace sw::cli {

namespace {

constexpr UINT kCodePage932 = 932;

std::wstring toWide(UINT codePage, DWORD flags, std::string_view text, bool& ok) {
    ok = true;
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int wideSize = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (wideSize <= 0) {
        ok = false;
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), wideSize);
    return wide;
}

std::string fromWide(UINT codePage, DWORD flags, std::wstring_view wide, BOOL* usedDefault) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int narrowSize = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
    if (narrowSize <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(narrowSize), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, narrow.data(), narrowSize, nullptr, usedDefault);
    return narrow;
}

}  // namespace

Cp932Conversion utf8ToCp932(std::string_view utf8) {
    Cp932Conversion result;
    bool valid = false;
    const std::wstring wide = toWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, valid);
    if (!valid) {
        result.unmappable = "(text that is not valid UTF-8)";
        return result;
    }
    for (std::size_t i = 0; i < wide.size();) {
        // One character: a surrogate pair stays together.
        const std::size_t length = (IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size()) ? 2 : 1;
        const std::wstring_view character(wide.data() + i, length);
        BOOL usedDefault = FALSE;
        const std::string bytes = fromWide(kCodePage932, WC_NO_BEST_FIT_CHARS, character, &usedDefault);
        if (bytes.empty() || usedDefault) {
            result.unmappable = fromWide(CP_UTF8, 0, character, nullptr);
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
    bool valid = false;
    // Without MB_ERR_INVALID_CHARS a byte that is no character becomes U+FFFD (or the code page's default).
    return fromWide(CP_UTF8, 0, toWide(kCodePage932, 0, cp932, valid), nullptr);
}

}  // namespace sw::cli
