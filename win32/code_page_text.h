#pragma once
// Text between UTF-16 and a code page named by the caller: never the system's code page, which differs from one
// Windows to the next (932, 1252, 65001...).

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sw::win32 {

// Empty when `text` is empty or cannot be converted (with MB_ERR_INVALID_CHARS: when it is not valid text).
inline std::wstring toWide(UINT codePage, std::string_view text, DWORD flags = 0) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), size);
    return wide;
}

// `defaultChar` stands for a character the code page cannot hold (null: the code page's own), and `usedDefault`,
// if given, tells whether one was needed. UTF-8 takes neither. Empty when the conversion fails.
inline std::string fromWide(UINT codePage,
                            std::wstring_view wide,
                            DWORD flags = 0,
                            const char* defaultChar = nullptr,
                            BOOL* usedDefault = nullptr) {
    if (wide.empty())
        return {};
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, defaultChar, usedDefault);
    if (size <= 0)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), size, defaultChar, usedDefault);
    return text;
}

// One character in code page 932, with the system's tables but never a look-alike (WC_NO_BEST_FIT_CHARS would
// otherwise be needed to stop "é" becoming "e"); none when the code page has no form for it.
inline std::optional<std::string> encodeCp932Character(char32_t character) {
    if (character > 0x10FFFF)
        return std::nullopt;
    wchar_t units[2] = {static_cast<wchar_t>(character), 0};
    int count = 1;
    if (character > 0xFFFF && character <= 0x10FFFF) {
        units[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        count = 2;
    }
    BOOL usedDefault = FALSE;
    const std::string bytes =
        fromWide(932, std::wstring_view(units, count), WC_NO_BEST_FIT_CHARS, nullptr, &usedDefault);
    if (bytes.empty() || usedDefault)
        return std::nullopt;
    return bytes;
}

// The one character that `bytes` stand for in code page 932; none when they are no character or more than one.
inline std::optional<char32_t> decodeCp932Character(std::string_view bytes) {
    const std::wstring wide = toWide(932, bytes, MB_ERR_INVALID_CHARS);
    if (wide.size() == 1 && (wide[0] & 0xF800) != 0xD800)
        return wide[0];
    if (wide.size() == 2 && (wide[0] & 0xFC00) == 0xD800 && (wide[1] & 0xFC00) == 0xDC00)
        return 0x10000 + ((static_cast<char32_t>(wide[0]) - 0xD800) << 10) + (static_cast<char32_t>(wide[1]) - 0xDC00);
    return std::nullopt;
}

}  // namespace sw::win32
