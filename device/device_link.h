#pragma once
// The panel's narrow view of the device: discovery, the session's handle and one-report exchange steps.
// The Windows build implements it over SetupAPI, hid.dll and overlapped file I/O; tests use the simulated device.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sw::device {

enum class WriteOutcome { Sent, SendFailed };
enum class ReadOutcome { Received, NotReady, ReceiveFailed };
// Why the last Open failed, as far as the system tells: refused access has a remedy the user can apply.
enum class OpenFailure { None, AccessDenied, Other };

// Wait limits of the exchange steps.
inline constexpr std::uint32_t kQueryWriteWaitMs = 500;
inline constexpr std::uint32_t kSendWriteWaitMs = 1000;
inline constexpr std::uint32_t kLiveWriteWaitMs = 500;
inline constexpr std::uint32_t kReplyPauseMs = 500;  // the device needs this long before its reply is queued
inline constexpr std::uint32_t kReadWaitMs = 500;

// One box as discovery sees it: its interface path, and the names that outlast a replug where the system tells
// them (empty otherwise): the USB port it is plugged into, and its serial number.
struct BoxInfo {
    std::string path;
    std::string port;
    std::string serial;
};

class DeviceLink {
public:
    virtual ~DeviceLink() = default;

    // Path of the first present HID interface whose path contains "vid_%04x&pid_%04x" (lower case). `path` is
    // emptied first.
    virtual bool FindDevicePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path) = 0;
    // Every present matching interface, first match first. A link that can only tell the first gives that one.
    virtual std::vector<std::string> FindDevicePaths(std::uint16_t vendorId, std::uint16_t productId) {
        std::string path;
        if (!FindDevicePath(vendorId, productId, path))
            return {};
        return {path};
    }
    // Every present matching interface with its port and serial number, first match first.
    virtual std::vector<BoxInfo> FindBoxes(std::uint16_t vendorId, std::uint16_t productId) {
        std::vector<BoxInfo> boxes;
        for (std::string& path : FindDevicePaths(vendorId, productId))
            boxes.push_back({std::move(path), {}, {}});
        return boxes;
    }
    // Opens the path for shared overlapped reading and writing; false when it cannot be opened.
    virtual bool Open(const std::string& path) = 0;
    // Why the last Open failed; a link that cannot tell says Other.
    virtual OpenFailure LastOpenFailure() const { return OpenFailure::Other; }
    virtual bool IsOpen() const = 0;
    // Each given output is cleared first; false with neither given, without an open device or on any failure.
    virtual bool GetReportLengths(std::uint16_t* inputLength, std::uint16_t* outputLength) = 0;
    // Closes the device if open; harmless otherwise.
    virtual void Close() = 0;

    // Writes the whole report (byte 0 is set to the report ID 0 first). Without confirmation only a time-out is
    // a failure. An I/O still under way when the step gives up is cancelled and waited for before returning.
    virtual WriteOutcome WriteReport(std::span<std::uint8_t> report, std::uint32_t waitMs, bool confirm) = 0;
    // The fixed pause between a query's write and its read; processes no messages.
    virtual void PauseForReply() = 0;
    // Reads one input report into `reply` (its size is the input report length) only if one is already waiting.
    virtual ReadOutcome ReadReport(std::span<std::uint8_t> reply) = 0;
};

}  // namespace sw::device
