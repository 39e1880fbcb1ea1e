// stampwright-cli on Windows: the wide command line turned into UTF-8, the Windows HID link, and output that
// shows as UTF-8 both on a console and in a redirected file.

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

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

}  // namespace

// wmain: the C runtime splits the wide command line (the narrow argv would have lost every character outside
// the ANSI code page). No shell32 for CommandLineToArgvW: loading it costs a script's every run.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(toUtf8(argv[i]));

    sw::cli::ConsoleStream out(STD_OUTPUT_HANDLE);
    sw::cli::ConsoleStream err(STD_ERROR_HANDLE);
    sw::device::WinDeviceLink link;
    // A preset on standard input is read byte for byte: UTF-16 from PowerShell must keep its every byte.
    _setmode(_fileno(stdin), _O_BINARY);
    const int code = sw::cli::runCli(args, link, {out.stream(), err.stream(), err.isConsole(), &std::cin});
    out.stream().flush();
    err.stream().flush();
    return code;
}
