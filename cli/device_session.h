#pragma once
// Finding the ZEL-OT40 for one command, taking its lock and opening it with the connect steps the panel takes,
// and its failures in words.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "device/box_lock.h"
#include "device/device_link.h"
#include "device/query_exchange.h"

namespace sw::cli {

// How long a command waits for another program's conversation with the box to end: a read-back takes about
// 3 s, a send up to 8 s.
inline constexpr std::uint32_t kBoxLockWaitMs = 10000;

// One command's hold on the box: found, locked, opened; closed and let go when the command ends.
class BoxSession {
public:
    BoxSession(device::DeviceLink& link, const device::BoxLocker& locker) : link_(link), locker_(locker) {}
    ~BoxSession() { link_.Close(); }  // before the lock goes: nothing of ours is on the box when another talks
    BoxSession(const BoxSession&) = delete;
    BoxSession& operator=(const BoxSession&) = delete;

    // The first ZEL-OT40 interface, or the one `wanted` names (its path, port or serial number). Returns the exit
    // code: 0 when it is open, else the reason went to `err`: 2 when `wanted` names no ZEL-OT40 that is present,
    // 1 for every other failure (the box busy with another program past kBoxLockWait among them).
    int open(std::string_view wanted, std::ostream& err);
    device::ReportLengths lengths() const { return lengths_; }

private:
    device::DeviceLink& link_;
    const device::BoxLocker& locker_;
    std::optional<device::BoxLock> lock_;
    device::ReportLengths lengths_;
};

// Why the link's last Open failed, in words for a message (the remedy when access was refused).
std::string openFailureReason(const device::DeviceLink& link);

}  // namespace sw::cli
