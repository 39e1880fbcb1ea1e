#pragma once
// The device link of the Linux build: a hidraw node found through sysfs, its report lengths from the report
// descriptor, and report I/O bounded by poll() as the Windows link bounds its overlapped I/O.
//
// What bounds a write: hidraw's poll() always reports a node writable, and write() hands the report to the HID
// transport synchronously whatever O_NONBLOCK says (usbhid sends it on the interrupt-out endpoint, or as a
// SET_REPORT control request, each with the USB core's 5-second control time-out). So the wait given to
// WriteReport bounds the wait for the node to take the report; a transfer already inside the kernel is bounded
// by usbhid's 5 s, not by our wait, and cannot be cancelled from here.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/device_link.h"

namespace sw::device {

class LinuxHidrawLink final : public DeviceLink {
public:
    // The real system: sysfs under /sys, nodes under /dev.
    LinuxHidrawLink() : LinuxHidrawLink("/sys", "/dev") {}
    LinuxHidrawLink(std::string sysfsRoot, std::string devRoot);
    // Takes an already-open descriptor (tests: one end of a socket pair standing in for the node) with known
    // report lengths; `numberedReports` as the descriptor would say.
    LinuxHidrawLink(int fd, std::uint16_t inputLength, std::uint16_t outputLength, bool numberedReports);
    ~LinuxHidrawLink() override;
    LinuxHidrawLink(const LinuxHidrawLink&) = delete;
    LinuxHidrawLink& operator=(const LinuxHidrawLink&) = delete;

    bool FindDevicePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path) override;
    std::vector<std::string> FindDevicePaths(std::uint16_t vendorId, std::uint16_t productId) override;
    std::vector<BoxInfo> FindBoxes(std::uint16_t vendorId, std::uint16_t productId) override;
    bool Open(const std::string& path) override;
    OpenFailure LastOpenFailure() const override { return openFailure_; }
    bool IsOpen() const override { return fd_ >= 0; }
    bool GetReportLengths(std::uint16_t* inputLength, std::uint16_t* outputLength) override;
    void Close() override;

    WriteOutcome WriteReport(std::span<std::uint8_t> report, std::uint32_t waitMs, bool confirm) override;
    void PauseForReply() override;
    ReadOutcome ReadReport(std::span<std::uint8_t> reply) override;

private:
    std::string sysfsRoot_;
    std::string devRoot_;
    int fd_ = -1;
    // Known from the start for an adopted descriptor; read from the descriptor on demand otherwise.
    bool lengthsKnown_ = false;
    std::uint16_t inputLength_ = 0;
    std::uint16_t outputLength_ = 0;
    bool numberedReports_ = false;
    OpenFailure openFailure_ = OpenFailure::None;
};

}  // namespace sw::device
