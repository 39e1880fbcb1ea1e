#pragma once
// The device link of the Windows build: SetupAPI discovery, hid.dll capabilities and overlapped report I/O on
// one owned device handle. CMainDlg owns one and hands it to the panel.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/win_call_failure.h"
#include "win32/unique_handle.h"

namespace sw::device {

class WinDeviceLink final : public DeviceLink {
public:
    WinDeviceLink() = default;
    WinDeviceLink(const WinDeviceLink&) = delete;
    WinDeviceLink& operator=(const WinDeviceLink&) = delete;

    bool FindDevicePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path) override;
    std::vector<std::string> FindDevicePaths(std::uint16_t vendorId, std::uint16_t productId) override;
    std::vector<BoxInfo> FindBoxes(std::uint16_t vendorId, std::uint16_t productId) override;
    bool Open(const std::string& path) override;
    OpenFailure LastOpenFailure() const override { return openFailure_; }
    bool IsOpen() const override;
    bool GetReportLengths(std::uint16_t* inputLength, std::uint16_t* outputLength) override;
    void Close() override;

    WriteOutcome WriteReport(std::span<std::uint8_t> report, std::uint32_t waitMs, bool confirm) override;
    void PauseForReply() override;
    ReadOutcome ReadReport(std::span<std::uint8_t> reply) override;

    // The Win32 call that failed last, and its error; cleared when an operation starts. A discovery that succeeds
    // may still name the detail fetch of an interface it skipped.
    const CallFailure& lastFailure() const { return lastFailure_; }

private:
    win32::UniqueHandle device_;
    CallFailure lastFailure_;
    OpenFailure openFailure_ = OpenFailure::None;
};

}  // namespace sw::device
