#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cli/cp932_codec.h"
#include "protocol/unicode_text.h"

namespace sw::cli {

namespace {

// All of `in` converted with a fresh descriptor (iconv keeps shift state between calls); none when iconv refuses
// any of it.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string input(in);
    char out[16];
    char* inPtr = input.data();
    std::size_t inLeft = input.size();
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    return std::string(out, sizeof out - outLeft);
}

constexpr const char* kCharset = "CP932";

std::optional<std::string> encode(char32_t character) {
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF))
        return std::nullopt;
    return convert(kCharset, "UTF-8", protocol::toUtf8(std::u32string(1, character)));
}

std::optional<char32_t> decode(std::string_view bytes) {
    const auto utf8 = convert("UTF-8", kCharset, bytes);
    if (!utf8)
        return std::nullopt;
    const auto codePoints = protocol::fromUtf8(*utf8);
    if (!codePoints || codePoints->size() != 1)
        return std::nullopt;
    return codePoints->front();
}

}  // namespace

const protocol::Cp932Codec kCp932{&encode, &decode};

std::optional<std::string> iconvConverterMissing(const char* charset) {
    for (const auto& [to, from] : {std::pair(charset, "UTF-8"), std::pair("UTF-8", charset)}) {
        const iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1))
            return std::string("the system has no code page 932 converter (iconv's \"") + charset + "\")";
        iconv_close(cd);
    }
    return std::nullopt;
}

std::optional<std::string> cp932ConverterMissing() {
    return iconvConverterMissing(kCharset);
}

}  // namespace sw::cli
