#include "cli/quoting.h"

#include <cstdio>

#include "protocol/unicode_text.h"

namespace sw::cli {

namespace {

// The length of the valid UTF-8 character at the start of `text`, or 0.
std::size_t characterLength(std::string_view text) {
    for (std::size_t length = 1; length <= 4 && length <= text.size(); ++length) {
        if (protocol::fromUtf8(text.substr(0, length)))
            return length;
    }
    return 0;
}

}  // namespace

bool isControlCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text.append(part);
    return text;
}

std::string hexEscaped(std::string_view bytes) {
    std::string escaped;
    for (const char byte : bytes) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(byte));
        escaped += hex;
    }
    return escaped;
}

namespace {

// `input` escaped; after `limit` characters the rest is left out ("...").
std::string escaped(std::string_view input, std::size_t limit) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < input.size(); ++characters) {
        if (characters == limit) {
            out += "...";
            break;
        }
        const std::size_t length = characterLength(input.substr(at));
        const std::string_view character = input.substr(at, length == 0 ? 1 : length);
        if (length == 0 || isControlCharacter(protocol::fromUtf8(character)->front()))
            out += hexEscaped(character);
        else
            out += character;
        at += character.size();
    }
    return out;
}

}  // namespace

std::string quotedInput(std::string_view input) {
    return joined({"'", escaped(input, kQuotedCharacters), "'"});
}

std::string quotedName(std::string_view name) {
    return joined({"'", escapedName(name), "'"});
}

std::string escapedName(std::string_view name) {
    return escaped(name, name.size());
}

std::string escapedMessage(std::string_view text) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string_view::npos)
            end = text.size();
        out += escaped(text.substr(at, end - at), kQuotedCharacters);
        if (end < text.size())
            out += ' ';
        at = end + 1;
    }
    return out;
}

}  // namespace sw::cli
