// stampwright-cli on Windows: the wide command line turned into UTF-8, the Windows HID link, and output that
// shows as UTF-8 both on a console and in a redirected file.

#include <windows.h>

#include <shellapi.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/console_stream.h"
#include "device/win_device_link.h"

namespace {

std::string toUtf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size - 1));
    return text;
}

// The arguments after the program name, UTF-8, from the wide command line (the narrow one is lossy).
std::vector<std::string> utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return args;
    for (int i = 1; i < count; ++i)
        args.push_back(toUtf8(wide[i]));
    LocalFree(wide);
    return args;
}

}  // namespace

int main() {
    sw::cli::ConsoleStream out(STD_OUTPUT_HANDLE);
    sw::cli::ConsoleStream err(STD_ERROR_HANDLE);
    sw::device::WinDeviceLink link;
    const int code = sw::cli::runCli(utf8Arguments(), link, {out.stream(), err.stream(), err.isConsole()});
    out.stream().flush();
    err.stream().flush();
    return code;
}
