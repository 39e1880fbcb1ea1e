#pragma once
// The device link over the simulated ZEL-OT40 on a virtual clock: the outcomes, waits and byte handling of the
// Windows link, with every wait turned into an advance of the shared clock.

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "device/device_link.h"
#include "sim/ot40_model.h"
#include "sim/virtual_clock.h"

namespace sw::sim {

inline constexpr const char* kDefaultInterfacePath =
    "\\\\?\\hid#vid_3c9b&pid_5d17#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

// One HID interface of the system's enumeration. All of them lead to the one simulated device.
struct SimInterface {
    std::string path;
    bool detailFails = false;  // its detail record cannot be fetched: the search skips it
};

class SimDeviceLink : public device::DeviceLink {
public:
    SimDeviceLink(VirtualClock& clock, Ot40Model& model);

    // --- the system around the device ---
    // In enumeration order; by default the one interface at kDefaultInterfacePath. An unplugged device shows
    // no interface at all.
    void setInterfaces(std::vector<SimInterface> interfaces) { interfaces_ = std::move(interfaces); }
    // The port and serial number the system tells for an interface of setInterfaces (none by default).
    void setBoxNames(const std::string& path, std::string port, std::string serial) {
        boxNames_[path] = {std::move(port), std::move(serial)};
    }
    void setOpenFails(bool fails) { openFails_ = fails; }
    void setCapabilitiesFail(bool fail) { capabilitiesFail_ = fail; }

    // --- device::DeviceLink ---
    bool FindDevicePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path) override;
    std::vector<std::string> FindDevicePaths(std::uint16_t vendorId, std::uint16_t productId) override;
    std::vector<device::BoxInfo> FindBoxes(std::uint16_t vendorId, std::uint16_t productId) override;
    bool Open(const std::string& path) override;
    bool IsOpen() const override { return open_; }
    bool GetReportLengths(std::uint16_t* inputLength, std::uint16_t* outputLength) override;
    void Close() override;
    device::WriteOutcome WriteReport(std::span<std::uint8_t> report, std::uint32_t waitMs, bool confirm) override;
    void PauseForReply() override;
    device::ReadOutcome ReadReport(std::span<std::uint8_t> reply) override;

    // --- what tests check ---
    int openCount() const { return openCount_; }
    int closeCount() const { return closeCount_; }
    // I/O started and not yet ended; every step ends its own, so this is 0 between steps.
    int outstandingIo() const { return outstandingIo_; }
    const std::string& openPath() const { return openPath_; }

private:
    // Marks one I/O as under way for the length of a step.
    class IoInFlight {
    public:
        explicit IoInFlight(int& counter) : counter_(counter) { ++counter_; }
        ~IoInFlight() { --counter_; }
        IoInFlight(const IoInFlight&) = delete;
        IoInFlight& operator=(const IoInFlight&) = delete;

    private:
        int& counter_;
    };

    bool present(const std::string& path) const;

    VirtualClock& clock_;
    Ot40Model& model_;
    std::vector<SimInterface> interfaces_{{kDefaultInterfacePath, false}};
    std::map<std::string, std::pair<std::string, std::string>> boxNames_;
    bool openFails_ = false;
    bool capabilitiesFail_ = false;
    bool open_ = false;
    std::string openPath_;
    int openCount_ = 0;
    int closeCount_ = 0;
    int outstandingIo_ = 0;
};

}  // namespace sw::sim
