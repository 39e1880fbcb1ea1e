#pragma once
// The panel started against a hosted device and connected: the connect's read-back has run to its end.

#include <optional>

#include "tests/e2e/driver/hosted_device.h"
#include "tests/e2e/driver/panel.h"

namespace sw::e2e {

// The six queries of the read-back that follows every successful connect.
inline constexpr std::uint32_t kQueriesPerPass = 6;

// Starts the panel, clicks Connect and checks that the device was opened once and asked its six queries.
// Failures are recorded as failed checks; none is returned only when the panel did not start.
std::optional<RunningPanel> startConnectedPanel(const ScenarioContext& context,
                                                HostedDevice& device,
                                                const LaunchOptions& options = {});

}  // namespace sw::e2e
