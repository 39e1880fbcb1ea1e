#pragma once
// One conversation per box, across programs: whoever talks to a box (the panel, the companion, its server) holds
// the box's lock for the length of one read-back pass, one send or one live step, so that no program's queries
// and replies interleave with another's. On Windows a named mutex named after the box's interface path; on Linux
// flock() on its hidraw node. The lock is the system's: a program that dies lets go of it.

#include <cstdint>
#include <functional>
#include <string>

namespace sw::device {

class BoxLock {
public:
    enum class Outcome { Taken, Busy, Failed };

    // The system's lock of the box at `boxPath` (the interface path discovery gives), waited for up to `waitMs`
    // milliseconds (0: only tried). A Windows lock belongs to the thread that took it and must be let go on that
    // thread.
    static BoxLock acquire(const std::string& boxPath, std::uint32_t waitMs);

    // A lock kept elsewhere (a simulated box, a test): `release` runs once, when the lock is let go.
    static BoxLock takenWith(std::function<void()> release);
    static BoxLock busyWith(std::string holder);
    static BoxLock failedWith(std::string reason);

    BoxLock(BoxLock&& other) noexcept;
    BoxLock& operator=(BoxLock&& other) noexcept;
    BoxLock(const BoxLock&) = delete;
    BoxLock& operator=(const BoxLock&) = delete;
    ~BoxLock();

    Outcome outcome() const { return outcome_; }
    bool held() const { return outcome_ == Outcome::Taken; }
    // Busy: the program that holds it, where the system tells ("stampwright-cli (process 4711)"), else empty.
    const std::string& holder() const { return detail_; }
    // Failed: why, in the system's words.
    const std::string& reason() const { return detail_; }

private:
    BoxLock(Outcome outcome, std::string detail, std::function<void()> release);
    void release();

    Outcome outcome_ = Outcome::Failed;
    std::string detail_;
    std::function<void()> release_;
};

// How a program takes a box's lock: BoxLock::acquire, or a simulated box's own.
using BoxLocker = std::function<BoxLock(const std::string& boxPath, std::uint32_t waitMs)>;

}  // namespace sw::device
