#pragma once
// Code page 932 as the C library's iconv knows it: a reference that shares nothing with the product's tables
// or with the compiler's literal conversion.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw::test {

// Unconvertible text gives nullopt.
std::optional<std::string> cp932FromUtf8(std::u8string_view utf8);
std::optional<std::string> cp932FromCodePoint(char32_t codePoint);
std::optional<char32_t> codePointFromCp932(std::string_view cp932);

// For expectations written as UTF-8 literals: the code page 932 bytes, or a marker that no product text equals.
std::string sjis(std::u8string_view utf8);

std::vector<std::uint8_t> bytesOf(std::string_view text);

}  // namespace sw::test
