#pragma once
// The simulated ZEL-OT40 served from inside the driver's process on a named pipe, where the OS doubles make the
// panel find it. Hosting it here lets a scenario set up the device and then read what arrived on its wire.
// In a real-stack run (SW_E2E_BOX set, see uhid_box.h) the same calls reach the uhid box that Wine's own HID stack
// serves to the panel instead.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/ot40_model.h"
#include "sim/pipe_device_server.h"
#include "sim/sim_options.h"
#include "tests/e2e/driver/uhid_box.h"
#include "tests/e2e/driver/wait.h"

namespace sw::e2e {

// Device paths as the doubles list them; the pipe behind each is served by a HostedDevice, or by nobody.
inline constexpr const char* kDevicePath0 = sw::sim::kDefaultPipePath;
inline constexpr const char* kDevicePath1 = "\\\\.\\pipe\\hid#vid_3c9b&pid_5d17#sim1";

class HostedDevice {
public:
    explicit HostedDevice(std::string pipePath = kDevicePath0);

    // Creates the pipe; the panel can open it as soon as this returns true.
    bool start();
    sim::PipeDeviceServer& server() { return server_; }

    // Reports the device has taken off its wire since it was made.
    std::uint32_t reportsReceived();
    std::vector<sim::WireEntry> wireLog();
    // Times the panel opened the device's path. Only the hosted device sees them: over the real stack the panel
    // opens Wine's device, and Wine's bus driver holds the box's node open from its own start.
    bool seesOpens() const { return !box_; }
    int opens() const { return server_.connectionCount(); }

    // What the device is and how it misbehaves, changed under the server's lock (effective from the next report).
    void setSettings(const sim::Ot40Settings& settings);
    void setSignal(const sim::InputSignal& signal);
    void setFaults(const sim::Faults& faults);
    void setReportLengths(std::uint16_t inputLength, std::uint16_t outputLength);
    sim::Ot40Settings settings();

    // Waits until the device has taken `count` reports off its wire since it was made.
    bool waitForReports(std::uint32_t count, Millis limit = kReactionLimit);
    // When the device took `entry` off its wire, on the driver's clock (preciseNowMs), to within a millisecond.
    // (Wine's performance counter runs on the system's monotonic clock, as the uhid box's wire log does.)
    double driverTimeMs(const sim::WireEntry& entry) const {
        return (box_ ? 0 : epochMs_) + static_cast<double>(entry.time);
    }

private:
    // Read just before the server (and with it the clock that stamps the wire log) is made.
    double epochMs_ = preciseNowMs();
    sim::PipeDeviceServer server_;
    std::optional<UhidBox> box_ = UhidBox::fromEnvironment();
    // The reports the box had taken before this scenario: counts "since it was made" start after them.
    std::uint32_t boxBaseline_ = 0;
};

}  // namespace sw::e2e
