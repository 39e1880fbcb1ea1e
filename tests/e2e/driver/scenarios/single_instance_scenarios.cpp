// Starting the panel while a copy of it runs: the running copy comes to the front, the new one ends with 0.

#include <windows.h>

#include <optional>

#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/panel.h"
#include "tests/e2e/driver/real_input.h"
#include "tests/e2e/driver/scenario.h"

namespace sw::e2e {
namespace {

// A window of the driver's own, put in front of the panel so that the panel is in the background.
class DriverWindow {
public:
    DriverWindow()
        : window_(CreateWindowExA(0,
                                  "STATIC",
                                  "driver window",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  0,
                                  0,
                                  200,
                                  100,
                                  nullptr,
                                  nullptr,
                                  GetModuleHandleA(nullptr),
                                  nullptr)) {}
    DriverWindow(const DriverWindow&) = delete;
    DriverWindow& operator=(const DriverWindow&) = delete;
    ~DriverWindow() {
        if (window_)
            DestroyWindow(window_);
    }
    HWND window() const { return window_; }

private:
    HWND window_;
};

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Starts a second copy and checks that it ends with 0 without a window of its own.
void startSecondCopy(const ScenarioContext& context) {
    auto second = AppProcess::launch(context.stage + kPanelExe);
    if (!CHECK(second.has_value()))
        return;
    CHECK_EQ(second->waitExit(), std::optional<DWORD>(0));
}

}  // namespace

SW_SCENARIO(second_copy_restores_minimised_first, "a second start restores the minimised first copy and ends with 0") {
    auto first = startPanel(context);
    if (!first)
        return;
    const HWND dialog = first->dialog.window();
    ShowWindow(dialog, SW_MINIMIZE);
    if (!CHECK(waitFor(kReactionLimit, [&] { return IsIconic(dialog) != FALSE; })))
        return;

    startSecondCopy(context);
    CHECK(waitFor(kReactionLimit, [&] { return IsIconic(dialog) == FALSE; }));
    CHECK(waitFor(kReactionLimit, [&] { return GetForegroundWindow() == dialog; }));
    CHECK(first->process.running());
    closePanel(*first);
}

SW_SCENARIO(second_copy_raises_background_first, "a second start brings the first copy to the front, same place") {
    auto first = startPanel(context);
    if (!first)
        return;
    const HWND dialog = first->dialog.window();
    RECT before{};
    GetWindowRect(dialog, &before);
    DriverWindow inFront;
    if (!CHECK(bringToFront(inFront.window())))
        return;

    startSecondCopy(context);
    CHECK(waitFor(kReactionLimit, [&] { return GetForegroundWindow() == dialog; }));
    RECT after{};
    GetWindowRect(dialog, &after);
    CHECK(sameRect(before, after));
    CHECK(IsIconic(dialog) == FALSE);
    CHECK(first->process.running());
    closePanel(*first);
}

}  // namespace sw::e2e
