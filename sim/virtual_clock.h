#pragma once
// Simulated time for native tests: the device front and the fake dialog share one clock, so a 3-second
// read-back runs in microseconds and timers fire in a repeatable order.

#include <cstdint>

namespace sw::sim {

class VirtualClock {
public:
    using Millis = std::int64_t;

    Millis now() const { return now_; }
    void advance(Millis delta) {
        if (delta > 0)
            now_ += delta;
    }
    void advanceTo(Millis when) {
        if (when > now_)
            now_ = when;
    }

private:
    Millis now_ = 0;
};

}  // namespace sw::sim
