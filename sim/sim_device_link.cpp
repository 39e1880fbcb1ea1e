#include "sim/sim_device_link.h"

#include <algorithm>
#include <cstdio>

namespace sw::sim {

using device::ReadOutcome;
using device::WriteOutcome;

SimDeviceLink::SimDeviceLink(VirtualClock& clock, Ot40Model& model) : clock_(clock), model_(model) {}

bool SimDeviceLink::present(const std::string& path) const {
    if (model_.unplugged())
        return false;
    return std::ranges::any_of(interfaces_, [&](const SimInterface& i) { return i.path == path; });
}

bool SimDeviceLink::FindDevicePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path) {
    path.clear();
    const std::vector<std::string> paths = FindDevicePaths(vendorId, productId);
    if (paths.empty())
        return false;
    path = paths.front();
    return true;
}

std::vector<std::string> SimDeviceLink::FindDevicePaths(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<std::string> paths;
    if (model_.unplugged())
        return paths;
    char pattern[32];
    std::snprintf(pattern, sizeof pattern, "vid_%04x&pid_%04x", vendorId, productId);
    for (const SimInterface& i : interfaces_) {
        if (!i.detailFails && i.path.find(pattern) != std::string::npos)
            paths.push_back(i.path);
    }
    return paths;
}

std::vector<device::BoxInfo> SimDeviceLink::FindBoxes(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<device::BoxInfo> boxes;
    for (const std::string& path : FindDevicePaths(vendorId, productId)) {
        const auto names = boxNames_.find(path);
        if (names == boxNames_.end())
            boxes.push_back({path, {}, {}});
        else
            boxes.push_back({path, names->second.first, names->second.second});
    }
    return boxes;
}

bool SimDeviceLink::Open(const std::string& path) {
    Close();
    if (openFails_ || !present(path))
        return false;
    open_ = true;
    openPath_ = path;
    ++openCount_;
    // A new handle starts with an empty input-report queue.
    model_.clearReplies();
    return true;
}

bool SimDeviceLink::GetReportLengths(std::uint16_t* inputLength, std::uint16_t* outputLength) {
    if (inputLength)
        *inputLength = 0;
    if (outputLength)
        *outputLength = 0;
    if ((!inputLength && !outputLength) || !open_ || capabilitiesFail_)
        return false;
    if (inputLength)
        *inputLength = model_.inputReportLength();
    if (outputLength)
        *outputLength = model_.outputReportLength();
    return true;
}

void SimDeviceLink::Close() {
    if (!open_)
        return;
    open_ = false;
    openPath_.clear();
    ++closeCount_;
}

WriteOutcome SimDeviceLink::WriteReport(std::span<std::uint8_t> report, std::uint32_t waitMs, bool /*confirm*/) {
    // Without a device, or for an empty report, the write is refused at once; so is it by a gone device.
    if (!open_ || report.empty() || model_.unplugged())
        return WriteOutcome::SendFailed;
    report[0] = 0;
    IoInFlight io(outstandingIo_);
    if (model_.writesStalled()) {
        // The write never completes: the step waits its full limit, then cancels it before the device took it.
        clock_.advance(waitMs);
        return WriteOutcome::SendFailed;
    }
    model_.receive(report, clock_.now());
    return WriteOutcome::Sent;
}

void SimDeviceLink::PauseForReply() {
    clock_.advance(device::kReplyPauseMs);
}

ReadOutcome SimDeviceLink::ReadReport(std::span<std::uint8_t> reply) {
    if (!open_ || reply.empty() || model_.unplugged())
        return ReadOutcome::NotReady;
    reply[0] = 0;
    IoInFlight io(outstandingIo_);
    if (model_.takeReadFailure()) {
        // The read was accepted (taking a waiting report, if any) but never signalled success.
        model_.takeReply(clock_.now());
        clock_.advance(device::kReadWaitMs);
        return ReadOutcome::ReceiveFailed;
    }
    std::optional<std::vector<std::uint8_t>> ready = model_.takeReply(clock_.now());
    if (!ready)
        return ReadOutcome::NotReady;  // the read went pending and was cancelled
    const std::size_t n = std::min(reply.size(), ready->size());
    std::copy_n(ready->begin(), n, reply.begin());
    std::fill(reply.begin() + static_cast<std::ptrdiff_t>(n), reply.end(), std::uint8_t{0});
    reply[0] = 0;  // as the Windows link: the report ID slot is cleared once the read has ended
    return ReadOutcome::Received;
}

}  // namespace sw::sim
