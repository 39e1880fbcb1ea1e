#include "tests/e2e/driver/connected_panel.h"

#include "tests/e2e/driver/check.h"
#include "ui/control_ids.h"

namespace sw::e2e {

std::optional<RunningPanel> startConnectedPanel(const ScenarioContext& context,
                                                HostedDevice& device,
                                                const LaunchOptions& options) {
    auto panel = startPanel(context, options);
    if (!panel)
        return std::nullopt;
    const std::uint32_t before = device.reportsReceived();
    CHECK(panel->dialog.click(ui::IDC_CONNECT));
    CHECK_EQ(device.opens(), 1);
    CHECK_EQ(device.reportsReceived(), before + kQueriesPerPass);
    return panel;
}

}  // namespace sw::e2e
