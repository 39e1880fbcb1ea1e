#include "device/linux_hidraw_link.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "device/hid_report_descriptor.h"
#include "device/linux_hidraw_discovery.h"

namespace sw::device {

namespace {

// Milliseconds on the monotonic clock (<chrono> cannot be built with this tree's code page 932 literals).
std::int64_t nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int remainingMs(std::int64_t deadline) {
    const std::int64_t left = deadline - nowMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

// poll() for one event, restarted after a signal with the time that is left.
short pollFor(int fd, short events, std::int64_t deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = poll(&p, 1, remainingMs(deadline));
        if (ready > 0)
            return p.revents;
        if (ready == 0 || errno != EINTR)
            return 0;
    }
}

}  // namespace

LinuxHidrawLink::LinuxHidrawLink(std::string sysfsRoot, std::string devRoot)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

LinuxHidrawLink::LinuxHidrawLink(int fd, std::uint16_t inputLength, std::uint16_t outputLength, bool numberedReports)
    : fd_(fd),
      lengthsKnown_(true),
      inputLength_(inputLength),
      outputLength_(outputLength),
      numberedReports_(numberedReports) {}

LinuxHidrawLink::~LinuxHidrawLink() {
    Close();
}

bool LinuxHidrawLink::FindDevicePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path) {
    path.clear();
    const std::vector<std::string> nodes = FindDevicePaths(vendorId, productId);
    if (nodes.empty())
        return false;
    path = nodes.front();
    return true;
}

std::vector<std::string> LinuxHidrawLink::FindDevicePaths(std::uint16_t vendorId, std::uint16_t productId) {
    return findHidrawNodes(sysfsRoot_, devRoot_, vendorId, productId);
}

std::vector<BoxInfo> LinuxHidrawLink::FindBoxes(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<BoxInfo> boxes;
    for (HidrawBox& box : findHidrawBoxes(sysfsRoot_, devRoot_, vendorId, productId))
        boxes.push_back({std::move(box.node), std::move(box.port), std::move(box.serial)});
    return boxes;
}

bool LinuxHidrawLink::Open(const std::string& path) {
    Close();
    // Non-blocking, so a write or read never waits past what poll() said.
    fd_ = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    lengthsKnown_ = false;
    if (fd_ >= 0)
        openFailure_ = OpenFailure::None;
    else
        openFailure_ = errno == EACCES || errno == EPERM ? OpenFailure::AccessDenied : OpenFailure::Other;
    return fd_ >= 0;
}

// The descriptor comes from the open node with HIDIOCGRDESC rather than from sysfs's report_descriptor file: it
// is the device this descriptor has open (no second lookup that a replug could redirect), and it needs no
// mapping from a /dev path back to its sysfs entry.
bool LinuxHidrawLink::GetReportLengths(std::uint16_t* inputLength, std::uint16_t* outputLength) {
    if (inputLength != nullptr)
        *inputLength = 0;
    if (outputLength != nullptr)
        *outputLength = 0;
    if ((inputLength == nullptr && outputLength == nullptr) || fd_ < 0)
        return false;
    if (!lengthsKnown_) {
        int size = 0;
        hidraw_report_descriptor descriptor{};
        if (ioctl(fd_, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE)
            return false;
        descriptor.size = static_cast<std::uint32_t>(size);
        if (ioctl(fd_, HIDIOCGRDESC, &descriptor) < 0)
            return false;
        const DescriptorLengths parsed =
            parseReportDescriptor({descriptor.value, static_cast<std::size_t>(descriptor.size)});
        if (!parsed.valid)
            return false;
        inputLength_ = parsed.input;
        outputLength_ = parsed.output;
        numberedReports_ = parsed.numberedReports;
        lengthsKnown_ = true;
    }
    if (inputLength != nullptr)
        *inputLength = inputLength_;
    if (outputLength != nullptr)
        *outputLength = outputLength_;
    return true;
}

void LinuxHidrawLink::Close() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

WriteOutcome LinuxHidrawLink::WriteReport(std::span<std::uint8_t> report, std::uint32_t waitMs, bool confirm) {
    if (fd_ < 0 || report.empty())
        return WriteOutcome::SendFailed;
    // hidraw takes the report ID in the first byte, 0 for a device without numbered reports.
    report[0] = 0;
    const std::int64_t deadline = nowMs() + waitMs;
    for (;;) {
        const short events = pollFor(fd_, POLLOUT, deadline);
        if (events & (POLLERR | POLLHUP | POLLNVAL))
            return WriteOutcome::SendFailed;  // the device is gone
        if (events & POLLOUT) {
            const ssize_t written = write(fd_, report.data(), report.size());
            if (written == static_cast<ssize_t>(report.size()))
                return WriteOutcome::Sent;
            if (written < 0 && (errno == EAGAIN || errno == EINTR) && remainingMs(deadline) > 0)
                continue;  // taken by someone else meanwhile: wait again within the same limit
            if (written < 0 && errno == EAGAIN)
                return WriteOutcome::SendFailed;
            // The transfer ended with an error or short: only a confirmed write reports it, as on Windows.
            return confirm ? WriteOutcome::SendFailed : WriteOutcome::Sent;
        }
        if (remainingMs(deadline) == 0)
            return WriteOutcome::SendFailed;  // not taken within the wait
    }
}

void LinuxHidrawLink::PauseForReply() {
    timespec pause{kReplyPauseMs / 1000, (kReplyPauseMs % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

ReadOutcome LinuxHidrawLink::ReadReport(std::span<std::uint8_t> reply) {
    // As on Windows, a read is taken only when it can be done at once: one that finds no report waiting, or that the
    // system refuses (the device gone, the node not open), is NotReady and ends the pass. Nothing is left pending
    // here, so a read that was accepted and failed later (ReceiveFailed) does not arise.
    std::fill(reply.begin(), reply.end(), std::uint8_t{0});
    // Without numbered reports hidraw gives the report without an ID byte; the exchange expects the ID position at
    // byte 0, as Windows delivers it.
    const std::span<std::uint8_t> target = numberedReports_ || reply.empty() ? reply : reply.subspan(1);
    if (fd_ < 0 || target.empty())
        return ReadOutcome::NotReady;
    // A zero time-out: a read only when a report is already waiting.
    if ((pollFor(fd_, POLLIN, nowMs()) & POLLIN) == 0)
        return ReadOutcome::NotReady;
    if (read(fd_, target.data(), target.size()) <= 0)
        return ReadOutcome::NotReady;
    reply[0] = 0;
    return ReadOutcome::Received;
}

}  // namespace sw::device
