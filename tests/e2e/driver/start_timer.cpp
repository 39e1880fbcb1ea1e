#include "tests/e2e/driver/start_timer.h"

#include <windows.h>

#include <cstdio>

#include "tests/e2e/driver/app_process.h"

namespace sw::e2e {

namespace {

bool timeOneStart(const TimedProgram& program) {
    const double started = preciseNowMs();
    auto app = AppProcess::launch(program.exePath);
    if (!app)
        return false;
    // Polled every millisecond: the figure is a fraction of a second.
    const auto window = app->waitVisibleWindow(program.title.c_str(), kStartLimit, Millis{1});
    const double shown = preciseNowMs();
    if (!window) {
        std::printf("%s: no visible window titled %s\n", program.exePath.c_str(), program.title.c_str());
        return false;
    }
    std::printf("start %s %.1f\n", program.exePath.substr(program.exePath.find_last_of('\\') + 1).c_str(),
                shown - started);
    PostMessageA(*window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (!app->waitExit()) {
        std::printf("%s did not end after its window was closed\n", program.exePath.c_str());
        return false;
    }
    return true;
}

}  // namespace

int timeStarts(int runs, const std::vector<TimedProgram>& programs) {
    for (int run = 0; run < runs; ++run) {
        for (const auto& program : programs) {
            if (!timeOneStart(program))
                return 1;
        }
    }
    return 0;
}

}  // namespace sw::e2e
