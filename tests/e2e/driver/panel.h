#pragma once
// The panel as the scenarios start and see it: its exe in the stage folder, its dialog titled "Stampwright".

#include <optional>
#include <string>

#include "tests/e2e/driver/app_process.h"
#include "tests/e2e/driver/remote_dialog.h"
#include "tests/e2e/driver/scenario.h"

namespace sw::e2e {

inline constexpr const char* kPanelTitle = "Stampwright";
inline constexpr const char* kPanelExe = "stampwright.exe";

struct RunningPanel {
    AppProcess process;
    RemoteDialog dialog;
};

// Starts the panel and waits for its dialog to be visible; a failure is recorded as a failed check.
std::optional<RunningPanel> startPanel(const ScenarioContext& context, const LaunchOptions& options = {});

// Closes the panel with its close button and checks that it ends with exit code 1.
void closePanel(RunningPanel& panel);

}  // namespace sw::e2e
