#include "cli/console_stream.h"

namespace sw::cli {

namespace {

// The length of the longest prefix of `text` that ends on a whole UTF-8 character, so a character split across
// two writes is never shown as two broken halves.
std::size_t wholeCharacters(const std::string& text) {
    std::size_t end = text.size();
    for (std::size_t back = 0; back < 4 && back < text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - 1 - back]);
        if ((byte & 0xC0) == 0x80)
            continue;  // a continuation byte: look further back for its lead
        const std::size_t need = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if (back + 1 < need)
            end = text.size() - 1 - back;
        break;
    }
    return end;
}

}  // namespace

ConsoleStream::ConsoleStream(DWORD standardHandle) : buffer_(GetStdHandle(standardHandle)), stream_(&buffer_) {}

ConsoleStream::~ConsoleStream() {
    stream_.flush();
}

ConsoleStream::Buffer::Buffer(HANDLE handle) : handle_(handle) {
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode) != 0;
}

ConsoleStream::Buffer::int_type ConsoleStream::Buffer::overflow(int_type c) {
    if (c != traits_type::eof()) {
        pending_.push_back(traits_type::to_char_type(c));
        if (c == '\n' && sync() != 0)
            return traits_type::eof();
    }
    return traits_type::not_eof(c);
}

int ConsoleStream::Buffer::sync() {
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) {
        pending_.clear();
        return 0;
    }
    const std::size_t length = wholeCharacters(pending_);
    if (length == 0)
        return 0;
    bool ok = false;
    if (console_) {
        const int wideLength = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(length), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(wideLength > 0 ? wideLength : 0), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(length), wide.data(), wideLength);
        DWORD written = 0;
        ok = WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0 &&
             written == wide.size();
    } else {
        DWORD written = 0;
        ok = WriteFile(handle_, pending_.data(), static_cast<DWORD>(length), &written, nullptr) != 0 &&
             written == length;
    }
    pending_.erase(0, length);
    // A failed write (a full disk behind a redirection) fails the stream, so that the program can say so.
    return ok ? 0 : -1;
}

}  // namespace sw::cli
