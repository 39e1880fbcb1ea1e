#pragma once
// What `serve` tells every open page: each state read, each send and each live step, as numbered events that a
// stream of Server-Sent Events takes in order. A slow reader skips to the newest rather than holding memory.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace sw::cli::serve {

struct Event {
    std::uint64_t id = 0;
    std::string type;  // "state", "sent", "position", "failure"
    std::string data;  // one line of JSON
};

class EventHub {
public:
    static constexpr std::size_t kKept = 64;

    void publish(std::string type, std::string data);

    // The events after `lastId`, waiting at most `wait` for one; empty at the deadline or once closed.
    std::vector<Event> after(std::uint64_t lastId, std::chrono::milliseconds wait);
    // The id the next stream starts after: only what happens from now on.
    std::uint64_t newestId() const;

    // Wakes every waiting stream for good: the server is stopping.
    void close();
    bool closed() const;

    // Streams open now (for the figures and the tests).
    int streams() const;
    void streamOpened();
    void streamClosed();

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Event> kept_;
    std::uint64_t nextId_ = 1;
    bool closed_ = false;
    int streams_ = 0;
};

// An SSE frame: "id: 7\nevent: state\ndata: {...}\n\n".
std::string sseFrame(const Event& event);

}  // namespace sw::cli::serve
