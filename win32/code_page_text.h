#pragma once
// Text between UTF-16 and a code page named by the caller: never the system's code page, which differs from one
// Windows to the next (932, 1252, 65001...).

#include <windows.h>

#include <cstddef>
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

}  // namespace sw::win32
