#pragma once
// Input echoed in a message, made safe to print: shortened, and with what a terminal would act on (control
// characters, bytes that are no UTF-8) written as escapes.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace sw::cli {

inline constexpr std::size_t kQuotedCharacters = 40;

// In single quotes; after kQuotedCharacters characters the rest is left out ("...").
std::string quotedInput(std::string_view input);

// C0 and C1 controls and DEL: what a terminal may act on.
bool isControlCharacter(char32_t c);

// "\xNN" for each byte.
std::string hexEscaped(std::string_view bytes);

// Messages are built by appending: gcc 12's -Wrestrict misfires on `"literal" + std::string` when inlined.
std::string joined(std::initializer_list<std::string_view> parts);

}  // namespace sw::cli
