#pragma once
// One run of a Windows program under test, started by the driver with an environment of its choosing. A process
// that is still running when its object goes away is terminated, so a failed scenario cannot leave a panel behind
// that would turn the next scenario's panel into a second copy.

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32/unique_handle.h"
#include "tests/e2e/driver/wait.h"

namespace sw::e2e {

// Environment variables set for the started program (an empty value is set as empty, not removed).
using EnvOverrides = std::vector<std::pair<std::string, std::string>>;

struct LaunchOptions {
    EnvOverrides env;
    // The show command that the program receives (STARTUPINFO.wShowWindow); none: the system's default.
    std::optional<WORD> showCommand;
};

class AppProcess {
public:
    // Starts `exePath` with its own folder as working folder. Variables named SW_DOUBLE_* that the driver itself
    // inherited are not passed on: each launch states the doubles' configuration it wants.
    static std::optional<AppProcess> launch(const std::string& exePath, const LaunchOptions& options = {});

    AppProcess(AppProcess&&) = default;
    AppProcess& operator=(AppProcess&&) = default;
    ~AppProcess();

    DWORD id() const { return id_; }
    bool running() const;
    // The exit code once the process has ended within `limit`; none if it is still running then.
    std::optional<DWORD> waitExit(Millis limit = kExitLimit) const;
    // The process's visible top-level window titled `title`, once it exists (within `limit`).
    std::optional<HWND> waitVisibleWindow(const char* title,
                                          Millis limit = kStartLimit,
                                          Millis poll = kPollInterval) const;
    // Its main thread: the one that owns the dialog.
    DWORD threadId() const { return threadId_; }

private:
    AppProcess(win32::UniqueHandle process, DWORD id, DWORD threadId);

    win32::UniqueHandle process_;
    DWORD id_ = 0;
    DWORD threadId_ = 0;
};

// Folder of the driver's own exe, where the bed stages the panel and the doubles; ends in a backslash.
std::string stageFolder();

}  // namespace sw::e2e
