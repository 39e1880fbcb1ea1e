#pragma once
// Live nudging of the position over the API, as the panel's edits do it: the first change arms a 100 ms timer,
// changes until it fires only replace the values pending, and the step sends the latest. A burst of arrow-key
// presses thus becomes one step every 100 ms, never a queue of stale ones.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace sw::cli::serve {

class LivePosition {
public:
    using Step = std::function<void(std::optional<std::uint16_t> h, std::optional<std::uint16_t> v)>;

    LivePosition(std::chrono::milliseconds delay, Step step);
    ~LivePosition();
    LivePosition(const LivePosition&) = delete;
    LivePosition& operator=(const LivePosition&) = delete;

    // The axes given replace those pending.
    void change(std::optional<std::uint16_t> h, std::optional<std::uint16_t> v);

private:
    void run();

    const std::chrono::milliseconds delay_;
    const Step step_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<std::uint16_t> h_;
    std::optional<std::uint16_t> v_;
    std::optional<std::chrono::steady_clock::time_point> due_;
    bool stopping_ = false;
    std::thread worker_;  // last: it starts once the rest is built
};

}  // namespace sw::cli::serve
