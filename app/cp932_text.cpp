#include "app/cp932_text.h"

#include "protocol/unicode_text.h"

namespace sw::app {

std::wstring ToWide(const protocol::PieceText& text) {
    return protocol::toUtf16<wchar_t>(protocol::joinShown(text));
}

std::wstring ToWide(std::string_view cp932) {
    return ToWide(protocol::piecesFromBytes(cp932, kCp932));
}

std::u32string ToCodePoints(std::wstring_view wide) {
    return protocol::fromUtf16(wide);
}

std::string ToCp932(std::wstring_view wide) {
    return protocol::joinBytes(protocol::piecesFromTyping(ToCodePoints(wide), kCp932));
}

}  // namespace sw::app
