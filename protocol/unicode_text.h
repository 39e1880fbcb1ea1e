#pragma once
// Unicode text between its encodings and code points: UTF-16 (the Windows side), UTF-8 (the command line) and
// UTF-32 (the text rule).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sw::protocol {

// A lone surrogate is kept as the code point of that unit: no character, but nothing silently dropped either.
template <typename Unit>
std::u32string fromUtf16(std::basic_string_view<Unit> text) {
    std::u32string codePoints;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(text[at]));
        if ((unit & 0xFC00) == 0xD800 && at + 1 < text.size() &&
            (static_cast<std::uint16_t>(text[at + 1]) & 0xFC00) == 0xDC00) {
            codePoints.push_back(0x10000 + ((unit - 0xD800) << 10) +
                                 (static_cast<std::uint16_t>(text[at + 1]) - 0xDC00));
            ++at;
        } else {
            codePoints.push_back(unit);
        }
    }
    return codePoints;
}

template <typename Unit>
std::basic_string<Unit> toUtf16(std::u32string_view codePoints) {
    std::basic_string<Unit> text;
    for (const char32_t c : codePoints) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            text.push_back(static_cast<Unit>(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(static_cast<Unit>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<Unit>(c));
        }
    }
    return text;
}

// None when `text` is not valid UTF-8 (overlong forms, surrogates and stray bytes included).
std::optional<std::u32string> fromUtf8(std::string_view text);
std::string toUtf8(std::u32string_view codePoints);

}  // namespace sw::protocol
