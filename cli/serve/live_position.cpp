#include "cli/serve/live_position.h"

#include <utility>

namespace sw::cli::serve {

LivePosition::LivePosition(std::chrono::milliseconds delay, Step step)
    : delay_(delay), step_(std::move(step)), worker_([this] { run(); }) {}

LivePosition::~LivePosition() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void LivePosition::change(std::optional<std::uint16_t> h, std::optional<std::uint16_t> v) {
    {
        const std::lock_guard lock(mutex_);
        if (h)
            h_ = h;
        if (v)
            v_ = v;
        if (due_)
            return;  // armed already: the step takes these values when it fires
        due_ = std::chrono::steady_clock::now() + delay_;
    }
    changed_.notify_all();
}

void LivePosition::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || due_; });
        if (stopping_)
            return;
        if (changed_.wait_until(lock, *due_, [&] { return stopping_; }))
            return;
        const auto h = std::exchange(h_, std::nullopt);
        const auto v = std::exchange(v_, std::nullopt);
        due_.reset();
        lock.unlock();
        step_(h, v);
        lock.lock();
    }
}

}  // namespace sw::cli::serve
