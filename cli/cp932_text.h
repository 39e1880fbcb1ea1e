#pragma once
// Text between the command line (UTF-8) and the device (code page 932). Linux converts with iconv, Windows with
// the system's code page tables; both refuse a character that code page 932 cannot hold instead of replacing it.

#include <string>
#include <string_view>

namespace sw::cli {

struct Cp932Conversion {
    bool ok = false;
    std::string bytes;       // code page 932, when ok
    std::string unmappable;  // when not ok: the first character that has no code page 932 form (UTF-8)
};

Cp932Conversion utf8ToCp932(std::string_view utf8);

// Bytes that are no code page 932 character become U+FFFD, so the result is always valid UTF-8.
std::string cp932ToUtf8(std::string_view cp932);

}  // namespace sw::cli
