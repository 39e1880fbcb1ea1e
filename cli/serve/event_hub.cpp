#include "cli/serve/event_hub.h"

namespace sw::cli::serve {

void EventHub::publish(std::string type, std::string data) {
    {
        const std::lock_guard lock(mutex_);
        kept_.push_back({nextId_++, std::move(type), std::move(data)});
        if (kept_.size() > kKept)
            kept_.pop_front();
    }
    changed_.notify_all();
}

std::vector<Event> EventHub::after(std::uint64_t lastId, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, wait, [&] { return closed_ || nextId_ - 1 > lastId; });
    std::vector<Event> events;
    if (closed_)
        return events;
    for (const Event& event : kept_) {
        if (event.id > lastId)
            events.push_back(event);
    }
    return events;
}

std::uint64_t EventHub::newestId() const {
    const std::lock_guard lock(mutex_);
    return nextId_ - 1;
}

void EventHub::close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

bool EventHub::closed() const {
    const std::lock_guard lock(mutex_);
    return closed_;
}

int EventHub::streams() const {
    const std::lock_guard lock(mutex_);
    return streams_;
}

void EventHub::streamOpened() {
    const std::lock_guard lock(mutex_);
    ++streams_;
}

void EventHub::streamClosed() {
    const std::lock_guard lock(mutex_);
    --streams_;
}

std::string sseFrame(const Event& event) {
    return "id: " + std::to_string(event.id) + "\nevent: " + event.type + "\ndata: " + event.data + "\n\n";
}

}  // namespace sw::cli::serve
