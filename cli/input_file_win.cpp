#include <windows.h>

#include "cli/input_file.h"
#include "cli/quoting.h"
#include "protocol/unicode_text.h"
#include "win32/unique_handle.h"

namespace sw::cli {

namespace {

// The system's own words for an error, without the line break it ends them with.
std::string systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    if (message.empty())
        return joined({"error ", std::to_string(error)});
    return protocol::toUtf8(protocol::fromUtf16(std::wstring_view(message)));
}

}  // namespace

std::optional<std::string> readInputFile(std::string_view utf8Path, std::string& reason) {
    const auto codePoints = protocol::fromUtf8(utf8Path);
    if (!codePoints) {
        reason = "the name is not valid UTF-8";
        return std::nullopt;
    }
    // The wide name: a narrow one would lose every character outside the system's code page.
    const std::wstring path = protocol::toUtf16<wchar_t>(*codePoints);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        reason = "it is a folder";
        return std::nullopt;
    }
    win32::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        reason = systemMessage(GetLastError());
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            reason = systemMessage(GetLastError());
            return std::nullopt;
        }
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
        if (bytes.size() > kMaxInputFileBytes) {
            reason = "it is larger than 1 MB";
            return std::nullopt;
        }
    }
}

}  // namespace sw::cli
