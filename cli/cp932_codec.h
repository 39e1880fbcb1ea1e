#pragma once
// The system's code page 932 tables for the companion: iconv's "CP932" on Linux (the Windows code page with its NEC
// and IBM rows), the system's own on Windows.

#include "protocol/row_text.h"

namespace sw::cli {

extern const protocol::Cp932Codec kCp932;

}  // namespace sw::cli
