#include "tests/protocol/cp932_reference.h"

#include <iconv.h>

namespace sw::test {

namespace {

// One conversion with a fresh descriptor; nullopt when iconv refuses any part of the input.
std::optional<std::string> convert(const char* to, const char* from, std::string_view input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string in(input);
    std::string out(input.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

std::string utf8FromCodePoint(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        s.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        s.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    return s;
}

}  // namespace

std::optional<std::string> cp932FromUtf8(std::u8string_view utf8) {
    return convert("CP932", "UTF-8", std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::optional<std::string> cp932FromCodePoint(char32_t codePoint) {
    return convert("CP932", "UTF-8", utf8FromCodePoint(codePoint));
}

std::optional<char32_t> codePointFromCp932(std::string_view cp932) {
    const auto utf32 = convert("UTF-32LE", "CP932", cp932);
    if (!utf32 || utf32->size() != 4) {
        return std::nullopt;
    }
    char32_t cp = 0;
    for (int i = 3; i >= 0; --i) {
        cp = (cp << 8) | static_cast<std::uint8_t>((*utf32)[static_cast<std::size_t>(i)]);
    }
    return cp;
}

std::string sjis(std::u8string_view utf8) {
    return cp932FromUtf8(utf8).value_or("<not convertible to CP932>");
}

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

}  // namespace sw::test
