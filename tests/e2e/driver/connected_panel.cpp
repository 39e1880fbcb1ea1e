#include "tests/e2e/driver/connected_panel.h"

#include "panel/control_ids.h"
#include "tests/e2e/driver/check.h"

namespace sw::e2e {

std::optional<RunningPanel> startDeviceAndPanel(const ScenarioContext& context,
                                                HostedDevice& device,
                                                const DeviceSetUp& setUp,
                                                const LaunchOptions& options) {
    if (!CHECK(device.start()))
        return std::nullopt;
    if (setUp)
        setUp(device);
    return startPanel(context, options);
}

std::optional<RunningPanel> startDeviceAndConnectedPanel(const ScenarioContext& context,
                                                         HostedDevice& device,
                                                         const DeviceSetUp& setUp,
                                                         const LaunchOptions& options) {
    auto panel = startDeviceAndPanel(context, device, setUp, options);
    if (!panel)
        return std::nullopt;
    const std::uint32_t before = device.reportsReceived();
    CHECK(panel->dialog.click(panel::IDC_CONNECT));
    if (device.seesOpens())
        CHECK_EQ(device.opens(), 1);
    CHECK_EQ(device.reportsReceived(), before + kQueriesPerPass);
    return panel;
}

}  // namespace sw::e2e
