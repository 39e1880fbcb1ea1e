#include "cli/cp932_codec.h"
#include "win32/code_page_text.h"

namespace sw::cli {

const protocol::Cp932Codec kCp932{&win32::encodeCp932Character, &win32::decodeCp932Character};

std::optional<std::string> cp932ConverterMissing() {
    if (IsValidCodePage(932))
        return std::nullopt;
    return "the system has no code page 932 tables (code page 932 is not installed)";
}

}  // namespace sw::cli
