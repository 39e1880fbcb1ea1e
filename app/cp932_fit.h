#pragma once
// How much text fits a limit counted in code page 932 bytes, independent of the window system. The panel's limits
// (a row takes 16 bytes: 16 single-byte or 8 double-byte characters) keep that meaning on the dialog's Unicode
// controls, whose own limit counts UTF-16 units.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw::app {

// Bytes of the code page 932 character at `at`: 2 for a lead byte with a byte after it, else 1.
constexpr std::size_t Cp932CharLength(std::string_view text, std::size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return lead && at + 1 < text.size() ? 2 : 1;
}

// The longest start of `text` that holds at most `limit` bytes without splitting a double-byte character.
constexpr std::string_view CutCp932(std::string_view text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + Cp932CharLength(text, end);
        if (next > limit)
            break;
        end = next;
    }
    return text.substr(0, end);
}

// The characters of a UTF-16 text: one unit each, a surrogate pair (one character outside the BMP) as one.
template <typename Char>
std::vector<std::basic_string_view<Char>> SplitCharacters(std::basic_string_view<Char> text) {
    std::vector<std::basic_string_view<Char>> characters;
    for (std::size_t at = 0; at < text.size();) {
        const bool pair = (text[at] & 0xFC00) == 0xD800 && at + 1 < text.size() && (text[at + 1] & 0xFC00) == 0xDC00;
        const std::size_t length = pair ? 2 : 1;
        characters.push_back(text.substr(at, length));
        at += length;
    }
    return characters;
}

template <typename Char>
struct FittedText {
    std::basic_string<Char> text;
    std::size_t caret;  // in UTF-16 units: right after what was kept of the insertion
};

// An edit changed from `before` to `after` by the operator (typing, pasting, an input method). What the change
// inserted is kept only as far as the whole text stays within `limit` bytes, cut before the first character that
// would pass it; what it deleted stays deleted. None when `after` may stay as it is: it fits, or the change only
// deleted (text that the program set beyond the limit is not cut). `bytesOf` gives one character's bytes.
template <typename Char, typename BytesOf>
std::optional<FittedText<Char>> FitTyping(std::basic_string_view<Char> before,
                                          std::basic_string_view<Char> after,
                                          std::size_t limit,
                                          BytesOf bytesOf) {
    const auto old = SplitCharacters(before);
    const auto now = SplitCharacters(after);
    std::size_t total = 0;
    for (const auto character : now)
        total += bytesOf(character);
    if (total <= limit)
        return std::nullopt;

    // The insertion is what lies between the longest common start and the longest common end.
    std::size_t start = 0;
    while (start < old.size() && start < now.size() && old[start] == now[start])
        ++start;
    std::size_t end = 0;
    while (end < old.size() - start && end < now.size() - start &&
           old[old.size() - 1 - end] == now[now.size() - 1 - end])
        ++end;
    const std::size_t insertedEnd = now.size() - end;
    if (start == insertedEnd)
        return std::nullopt;

    std::size_t kept = 0;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (i < start || i >= insertedEnd)
            kept += bytesOf(now[i]);
    }
    FittedText<Char> fitted;
    for (std::size_t i = 0; i < start; ++i)
        fitted.text += now[i];
    for (std::size_t i = start; i < insertedEnd; ++i) {
        const std::size_t bytes = bytesOf(now[i]);
        if (kept + bytes > limit)
            break;
        kept += bytes;
        fitted.text += now[i];
    }
    fitted.caret = fitted.text.size();
    for (std::size_t i = insertedEnd; i < now.size(); ++i)
        fitted.text += now[i];
    return fitted;
}

}  // namespace sw::app
