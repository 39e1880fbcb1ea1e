#pragma once
// Input echoed in a message, made safe to print: shortened, and with what a terminal would act on (control
// characters, bytes that are no UTF-8) written as escapes.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace sw::cli {

inline constexpr std::size_t kQuotedCharacters = 40;

// Every message starts so: the program speaks in one voice, whichever part found the fault.
inline constexpr char kErrorPrefix[] = "stampwright-cli: error: ";
inline constexpr char kNotePrefix[] = "stampwright-cli: note: ";

// In single quotes; after kQuotedCharacters characters the rest is left out ("...").
std::string quotedInput(std::string_view input);
// A file or device name in single quotes, escaped as quotedInput but whole: a cut name cannot be told apart.
std::string quotedName(std::string_view name);
// The same without the quotes, for names a box reports about itself (a serial number may hold anything).
std::string escapedName(std::string_view name);
// Text made of the user's input (the parser's own messages echo it): escaped, and each word longer than
// kQuotedCharacters cut as quotedInput cuts.
std::string escapedMessage(std::string_view text);

// C0 and C1 controls and DEL: what a terminal may act on.
bool isControlCharacter(char32_t c);

// "\xNN" for each byte.
std::string hexEscaped(std::string_view bytes);

// Messages are built by appending: gcc 12's -Wrestrict misfires on `"literal" + std::string` when inlined.
std::string joined(std::initializer_list<std::string_view> parts);

}  // namespace sw::cli
