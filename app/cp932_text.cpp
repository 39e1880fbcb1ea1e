#include "app/cp932_text.h"

#include "app/cp932_fit.h"
#include "win32/code_page_text.h"

namespace sw::app {

namespace {

constexpr char kUnmappable[] = "?";

}  // namespace

std::wstring ToWide(std::string_view cp932) {
    return win32::toWide(kPanelCodePage, cp932);
}

std::string ToCp932(std::wstring_view wide) {
    // The system may turn a surrogate pair into two default characters (Wine does): each pair is made one "?"
    // first, so that a row never shifts by an extra cell.
    std::wstring units;
    units.reserve(wide.size());
    for (const std::wstring_view character : SplitCharacters(wide))
        units += character.size() == 1 ? character : std::wstring_view(L"?");
    // Without WC_NO_BEST_FIT_CHARS the system would pick a look-alike for some characters ("é" as "e").
    return win32::fromWide(kPanelCodePage, units, WC_NO_BEST_FIT_CHARS, kUnmappable);
}

std::size_t Cp932Bytes(std::wstring_view character) {
    return ToCp932(character).size();
}

}  // namespace sw::app
