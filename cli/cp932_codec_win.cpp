#include "cli/cp932_codec.h"
#include "win32/code_page_text.h"

namespace sw::cli {

const protocol::Cp932Codec kCp932{&win32::encodeCp932Character, &win32::decodeCp932Character};

}  // namespace sw::cli
