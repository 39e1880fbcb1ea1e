// iconv's "CP932" is the Windows code page (with the NEC and IBM rows), not plain Shift-JIS.

#include <iconv.h>

#include <cerrno>
#include <cstddef>

#include "cli/cp932_text.h"

namespace sw::cli {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

// Converts `in` as far as it goes; returns the offset where the conversion stopped (in.size() when done).
std::size_t convert(iconv_t cd, std::string_view in, std::string& out) {
    char* inPtr = const_cast<char*>(in.data());  // iconv's signature; the input is not changed
    std::size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
            break;
    }
    return in.size() - inLeft;
}

}  // namespace

Cp932Conversion utf8ToCp932(std::string_view utf8) {
    Cp932Conversion result;
    const Converter cd("CP932", "UTF-8");
    if (!cd.valid()) {
        result.unmappable = "(no code page 932 converter on this system)";
        return result;
    }
    const std::size_t stop = convert(cd.get(), utf8, result.bytes);
    if (stop == utf8.size()) {
        result.ok = true;
        return result;
    }
    const std::size_t length = utf8SequenceLength(static_cast<unsigned char>(utf8[stop]));
    result.unmappable = std::string(utf8.substr(stop, length));
    result.bytes.clear();
    return result;
}

std::string cp932ToUtf8(std::string_view cp932) {
    std::string out;
    const Converter cd("UTF-8", "CP932");
    if (!cd.valid())
        return out;
    while (!cp932.empty()) {
        const std::size_t stop = convert(cd.get(), cp932, out);
        if (stop == cp932.size())
            break;
        out += "\xEF\xBF\xBD";  // U+FFFD for the byte iconv could not take
        cp932.remove_prefix(stop + 1);
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace sw::cli
