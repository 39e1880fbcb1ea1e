#include "device/win_device_link.h"

#include <windows.h>

#include "device/win_hid_discovery.h"
#include "device/win_report_exchange.h"

namespace sw::device {

bool WinDeviceLink::FindDevicePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path) {
    lastFailure_.clear();
    return FindHidInterfacePath(vendorId, productId, path, lastFailure_);
}

std::vector<std::string> WinDeviceLink::FindDevicePaths(std::uint16_t vendorId, std::uint16_t productId) {
    lastFailure_.clear();
    return FindHidInterfacePaths(vendorId, productId, lastFailure_);
}

std::vector<BoxInfo> WinDeviceLink::FindBoxes(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<BoxInfo> boxes;
    for (std::string& path : FindDevicePaths(vendorId, productId)) {
        BoxInfo box{std::move(path), {}, {}};
        DescribeHidInterface(box.path, box.port, box.serial);
        boxes.push_back(std::move(box));
    }
    return boxes;
}

bool WinDeviceLink::Open(const std::string& path) {
    lastFailure_.clear();
    device_ = OpenHidInterface(path, lastFailure_);
    if (device_.valid())
        openFailure_ = OpenFailure::None;
    else
        openFailure_ = lastFailure_.code == ERROR_ACCESS_DENIED ? OpenFailure::AccessDenied : OpenFailure::Other;
    return device_.valid();
}

bool WinDeviceLink::IsOpen() const {
    return device_.valid();
}

bool WinDeviceLink::GetReportLengths(std::uint16_t* inputLength, std::uint16_t* outputLength) {
    lastFailure_.clear();
    return ReadReportLengths(device_.get(), inputLength, outputLength, lastFailure_);
}

void WinDeviceLink::Close() {
    device_.reset();
}

WriteOutcome WinDeviceLink::WriteReport(std::span<std::uint8_t> report, std::uint32_t waitMs, bool confirm) {
    lastFailure_.clear();
    return WriteDeviceReport(device_.get(), report, waitMs, confirm, lastFailure_);
}

void WinDeviceLink::PauseForReply() {
    // The device needs this long before its reply is queued; messages wait meanwhile.
    Sleep(kReplyPauseMs);
}

ReadOutcome WinDeviceLink::ReadReport(std::span<std::uint8_t> reply) {
    lastFailure_.clear();
    return ReadDeviceReport(device_.get(), reply, kReadWaitMs, lastFailure_);
}

}  // namespace sw::device
