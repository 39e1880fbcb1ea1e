#pragma once
// The box's lock as the system keeps it, for the panel and the companion on the simulated box: held by another
// program (`holder`; "" when the system cannot tell who) or free, with the waits on the virtual clock.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/box_lock.h"
#include "device/device_link.h"
#include "sim/virtual_clock.h"

namespace sw::test {

struct BoxLockDouble {
    BoxLockDouble(sim::VirtualClock& clock, const device::DeviceLink& link) : clock_(clock), link_(link) {}

    device::BoxLocker locker() {
        return [this](const std::string& path, std::uint32_t waitMs) { return take(path, waitMs); };
    }

    device::BoxLock take(const std::string& path, std::uint32_t waitMs) {
        if (holder) {
            clock_.advance(waitMs);
            return device::BoxLock::busyWith(*holder);
        }
        EXPECT_FALSE(held) << "one conversation at a time";
        lockedPaths.push_back(path);
        held = true;
        return device::BoxLock::takenWith([this] {
            held = false;
            releasedWithBoxOpen.push_back(link_.IsOpen());
        });
    }

    std::optional<std::string> holder;
    std::vector<std::string> lockedPaths;  // each lock taken, by the path it was taken for
    std::vector<bool> releasedWithBoxOpen;
    bool held = false;

private:
    sim::VirtualClock& clock_;
    const device::DeviceLink& link_;
};

}  // namespace sw::test
