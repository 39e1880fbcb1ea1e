#pragma once
// The one crossing between the dialog's Unicode windows and the panel, which keeps every text as code page 932
// bytes: the shared text rule over the system's code page 932 tables, whatever code page the system runs with.

#include <windows.h>

#include <string>
#include <string_view>

#include "protocol/row_text.h"
#include "win32/code_page_text.h"

namespace sw::app {

inline constexpr protocol::Cp932Codec kCp932{&win32::encodeCp932Character, &win32::decodeCp932Character};

std::wstring ToWide(const protocol::PieceText& text);
// Bytes that are no text show as U+FFFD.
std::wstring ToWide(std::string_view cp932);
std::u32string ToCodePoints(std::wstring_view wide);

// Text typed anew. A character that code page 932 cannot hold (an emoji, a Korean syllable, "é") becomes one "?",
// never a look-alike ("é" is not turned into "e").
std::string ToCp932(std::wstring_view wide);

}  // namespace sw::app
