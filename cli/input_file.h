#pragma once
// Reading a whole file that the user names (a preset): the path is UTF-8 on every system, and a failure says why.

#include <optional>
#include <string>
#include <string_view>

namespace sw::cli {

// Files larger than this are no preset; they are refused before being read whole.
inline constexpr std::size_t kMaxInputFileBytes = 1 << 20;

// The file's bytes, or none with `reason` ("it is a folder", the system's words for what failed).
std::optional<std::string> readInputFile(std::string_view utf8Path, std::string& reason);

}  // namespace sw::cli
