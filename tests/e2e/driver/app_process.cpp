#include "tests/e2e/driver/app_process.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "tests/e2e/driver/shift_jis.h"

namespace sw::e2e {

namespace {

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const { return _stricmp(a.c_str(), b.c_str()) < 0; }
};

bool isDoubleSetting(const std::string& name) {
    return _strnicmp(name.c_str(), "SW_DOUBLE_", 10) == 0;
}

// The driver's environment without SW_DOUBLE_*, with the overrides applied; sorted by name as Windows expects.
std::string buildEnvironmentBlock(const EnvOverrides& overrides) {
    std::map<std::string, std::string, CaseInsensitiveLess> variables;
    char* inherited = GetEnvironmentStringsA();
    for (const char* entry = inherited; entry && *entry; entry += std::strlen(entry) + 1) {
        const std::string text(entry);
        // Entries such as "=C:=C:\..." keep the current folder of each drive; their name starts after the '='.
        const auto split = text.find('=', 1);
        if (split == std::string::npos)
            continue;
        const std::string name = text.substr(0, split);
        if (!isDoubleSetting(name))
            variables[name] = text.substr(split + 1);
    }
    FreeEnvironmentStringsA(inherited);
    for (const auto& [name, value] : overrides)
        variables[name] = value;

    std::string block;
    for (const auto& [name, value] : variables) {
        block += name + "=" + value;
        block += '\0';
    }
    block += '\0';
    return block;
}

struct WindowSearch {
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    if (search->title && shiftJisFromWide(title) != search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

std::string stageFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::optional<AppProcess> AppProcess::launch(const std::string& exePath, const LaunchOptions& options) {
    std::string environment = buildEnvironmentBlock(options.env);
    std::string commandLine = "\"" + exePath + "\"";
    const std::string folder = exePath.substr(0, exePath.find_last_of('\\'));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (options.showCommand) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *options.showCommand;
    }
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, environment.data(),
                        folder.c_str(), &startup, &created)) {
        std::printf("cannot start %s: error %lu\n", exePath.c_str(), GetLastError());
        return std::nullopt;
    }
    CloseHandle(created.hThread);
    return AppProcess(win32::UniqueHandle(created.hProcess), created.dwProcessId, created.dwThreadId);
}

AppProcess::AppProcess(win32::UniqueHandle process, DWORD id, DWORD threadId)
    : process_(std::move(process)), id_(id), threadId_(threadId) {}

AppProcess::~AppProcess() {
    if (process_.valid() && running()) {
        TerminateProcess(process_.get(), 0xDEAD);
        WaitForSingleObject(process_.get(), static_cast<DWORD>(kExitLimit.count()));
    }
}

bool AppProcess::running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> AppProcess::waitExit(Millis limit) const {
    if (!waitFor(limit, [&] { return !running(); }))
        return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code))
        return std::nullopt;
    return code;
}

std::optional<HWND> AppProcess::waitVisibleWindow(const char* title, Millis limit, Millis poll) const {
    WindowSearch search{id_, title, nullptr};
    // A window can carry its title before its initialisation has run: only a visible one counts.
    const bool found = waitFor(
        limit,
        [&] {
            search.found = nullptr;
            EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || !running();
        },
        poll);
    if (!found || !search.found)
        return std::nullopt;
    return search.found;
}

}  // namespace sw::e2e
