#pragma once
// The one crossing between the dialog's Unicode windows and the panel, which keeps every text as code page 932
// bytes: explicit conversions with code page 932, whatever code page the system runs with.

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace sw::app {

inline constexpr UINT kPanelCodePage = 932;

std::wstring ToWide(std::string_view cp932);

// A character that code page 932 cannot hold (an emoji, a Korean syllable, "é") becomes one "?", never a
// look-alike ("é" is not turned into "e"); a surrogate pair is one character and gives one "?".
std::string ToCp932(std::wstring_view wide);

// Bytes of one character (one UTF-16 unit, or a surrogate pair) in code page 932.
std::size_t Cp932Bytes(std::wstring_view character);

}  // namespace sw::app
