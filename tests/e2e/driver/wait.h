#pragma once
// Waiting on conditions with a deadline. Every wait polls; nothing waits a fixed time and hopes. The limits are
// generous because the bed runs on a busy 2-core machine under Wine: a dialog that shows in 0.2 s on an idle one
// can take several seconds there.
//
// (No <chrono> here: with Shift-JIS as the execution character set, libstdc++'s <chrono> does not compile.)

#include <windows.h>

#include <cstdlib>

namespace sw::e2e {

// A span of time in milliseconds.
class Millis {
public:
    constexpr explicit Millis(DWORD count) : count_(count) {}
    constexpr DWORD count() const { return count_; }

private:
    DWORD count_;
};

// The limits below times SW_E2E_LIMIT_SCALE (a whole number, default 1): a runner that measured a slower machine
// (the real-stack guest, which emulates its processor) sets it from what it measured.
inline Millis scaledLimit(DWORD ms) {
    const char* scale = std::getenv("SW_E2E_LIMIT_SCALE");
    const long factor = scale ? std::strtol(scale, nullptr, 10) : 1;
    return Millis(ms * static_cast<DWORD>(factor >= 1 && factor <= 20 ? factor : 1));
}
// How long the panel may take to show its dialog after its process was created.
inline const Millis kStartLimit = scaledLimit(20000);
// How long a handler that does no device exchange may take to show its effect.
inline const Millis kReactionLimit = scaledLimit(10000);
// A read-back blocks the panel for three seconds or more.
inline const Millis kReadBackLimit = scaledLimit(30000);
// How long a process may take to end once its window was closed.
inline const Millis kExitLimit = scaledLimit(15000);
inline constexpr Millis kPollInterval{15};

// Handles whatever was sent or posted to the driver's own thread, so that a window of the driver (if a scenario
// made one) keeps answering while it waits on the panel.
void pumpOwnMessages();

// Polls `condition` every `poll` until it holds or `limit` has passed; true if it held.
template <typename Condition>
bool waitFor(Millis limit, Condition condition, Millis poll = kPollInterval) {
    const ULONGLONG deadline = GetTickCount64() + limit.count();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        pumpOwnMessages();
        Sleep(poll.count());
    }
}

// Milliseconds on the high-resolution counter, for measurements.
double preciseNowMs();

}  // namespace sw::e2e
