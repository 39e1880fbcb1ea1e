#pragma once
// The panel started against a hosted device, and connected: the connect's read-back has run to its end.

#include <functional>
#include <optional>

#include "tests/e2e/driver/hosted_device.h"
#include "tests/e2e/driver/panel.h"

namespace sw::e2e {

// The six queries of the read-back that follows every successful connect.
inline constexpr std::uint32_t kQueriesPerPass = 6;

// Gives the hosted device its settings, signal or faults once it serves its pipe and before the panel opens it.
using DeviceSetUp = std::function<void(HostedDevice&)>;

// Starts `device`, sets it up and starts the panel; none when the device or the panel did not start (recorded as a
// failed check).
std::optional<RunningPanel> startDeviceAndPanel(const ScenarioContext& context,
                                                HostedDevice& device,
                                                const DeviceSetUp& setUp = {},
                                                const LaunchOptions& options = {});

// The same, then clicks Connect and checks that the device was opened once and asked its six queries. Those
// failures are recorded as failed checks; none is returned only when the device or the panel did not start.
std::optional<RunningPanel> startDeviceAndConnectedPanel(const ScenarioContext& context,
                                                         HostedDevice& device,
                                                         const DeviceSetUp& setUp = {},
                                                         const LaunchOptions& options = {});

}  // namespace sw::e2e
