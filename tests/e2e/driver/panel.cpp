#include "tests/e2e/driver/panel.h"

#include "panel/control_ids.h"
#include "tests/e2e/driver/check.h"

namespace sw::e2e {

std::optional<RunningPanel> startPanel(const ScenarioContext& context, const LaunchOptions& options) {
    auto process = AppProcess::launch(context.stage + kPanelExe, options);
    if (!CHECK(process.has_value()))
        return std::nullopt;
    const auto window = process->waitVisibleWindow(kPanelTitle);
    if (!CHECK(window.has_value())) {
        if (!process->running())
            checkLog().fail(__FILE__, __LINE__,
                            "the panel ended without showing its dialog, exit code " +
                                describe(process->waitExit(Millis{0}).value_or(0)));
        return std::nullopt;
    }
    return RunningPanel{std::move(*process), RemoteDialog(*window)};
}

void closePanel(RunningPanel& panel) {
    CHECK(panel.dialog.click(panel::IDC_CLOSE));
    CHECK_EQ(panel.process.waitExit(), std::optional<DWORD>(1));
}

}  // namespace sw::e2e
