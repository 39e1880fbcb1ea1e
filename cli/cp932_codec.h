#pragma once
// The system's code page 932 tables for the companion: iconv's "CP932" on Linux (the Windows code page with its NEC
// and IBM rows), the system's own on Windows.

#include <optional>
#include <string>

#include "protocol/row_text.h"

namespace sw::cli {

extern const protocol::Cp932Codec kCp932;

// Why the system cannot convert text to and from code page 932 (a trimmed system may lack the converter); none when
// it can.
std::optional<std::string> cp932ConverterMissing();

#ifndef _WIN32
// The same for iconv's converter named `charset`.
std::optional<std::string> iconvConverterMissing(const char* charset);
#endif

}  // namespace sw::cli
