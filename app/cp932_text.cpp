#include "app/cp932_text.h"

#include "app/cp932_fit.h"

namespace sw::app {

namespace {

constexpr char kUnmappable[] = "?";

}  // namespace

std::wstring ToWide(std::string_view cp932) {
    if (cp932.empty())
        return {};
    const int length = static_cast<int>(cp932.size());
    const int size = MultiByteToWideChar(kPanelCodePage, 0, cp932.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(kPanelCodePage, 0, cp932.data(), length, wide.data(), size);
    return wide;
}

std::string ToCp932(std::wstring_view wide) {
    // The system may turn a surrogate pair into two default characters (Wine does): each pair is made one "?"
    // first, so that a row never shifts by an extra cell.
    std::wstring units;
    units.reserve(wide.size());
    for (const std::wstring_view character : SplitCharacters(wide))
        units += character.size() == 1 ? character : std::wstring_view(L"?");
    if (units.empty())
        return {};
    // Without WC_NO_BEST_FIT_CHARS the system would pick a look-alike for some characters ("é" as "e").
    const int length = static_cast<int>(units.size());
    const int size = WideCharToMultiByte(kPanelCodePage, WC_NO_BEST_FIT_CHARS, units.data(), length, nullptr, 0,
                                         kUnmappable, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(kPanelCodePage, WC_NO_BEST_FIT_CHARS, units.data(), length, text.data(), size, kUnmappable,
                            nullptr);
    return text;
}

std::size_t Cp932Bytes(std::wstring_view character) {
    return ToCp932(character).size();
}

}  // namespace sw::app
