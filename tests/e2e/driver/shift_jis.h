#pragma once
// The driver's own conversions between the panel's Shift-JIS (code page 932) and the UTF-16 that the Unicode window
// functions carry, whatever code page the driver itself runs with. Kept apart from the panel's conversion, so that
// a fault there shows up here as a difference.

#include <string>
#include <string_view>

namespace sw::e2e {

std::wstring wideFromShiftJis(std::string_view shiftJis);
// A character code page 932 cannot hold becomes "?" (never a look-alike).
std::string shiftJisFromWide(std::wstring_view wide);

}  // namespace sw::e2e
