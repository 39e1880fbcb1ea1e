#pragma once
// The box as `serve` holds it: kept open between requests and opened again after it went away, one conversation
// at a time, each answered as the API's status and JSON and told to every open page.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "cli/serve/event_hub.h"
#include "cli/serve/request_body.h"
#include "device/box_lock.h"
#include "device/device_link.h"
#include "device/query_exchange.h"

namespace sw::cli::serve {

inline constexpr int kStatusNotFound = 404;
inline constexpr int kStatusDeviceFailed = 502;  // a step of the conversation failed
inline constexpr int kStatusNoDevice = 503;      // the box is not there or cannot be opened

struct ApiAnswer {
    int status = kStatusOk;
    std::string body;          // JSON
    std::string lastModified;  // an HTTP date, for a state that was read earlier
};

class BoxService {
public:
    // `device` empty: the first ZEL-OT40; else its path, port or serial number. `locker` takes the box's lock that
    // the panel and the CLI share, around each conversation.
    BoxService(device::DeviceLink& link,
               std::string device,
               EventHub& events,
               device::BoxLocker locker = device::BoxLock::acquire);

    // As `list --json`.
    ApiAnswer devices();
    // A fresh read-back, as `read --json`; 502 naming the query when any was not answered.
    ApiAnswer readState();
    // The last whole read-back, with its time; 404 before the first.
    ApiAnswer cachedState() const;
    // The planned commands, each confirmed; 502 naming the command that failed.
    ApiAnswer send(const SendBody& body);
    // A live step of the position: the axes given, each written with the wait of the panel's live edit.
    void sendPosition(std::optional<std::uint16_t> h, std::optional<std::uint16_t> v);

    // Everything that touches the link goes through here, one at a time: requests queue on this mutex, so a
    // read-back, a send and a live step never interleave within the server.
    template <typename Conversation>
    auto withBox(Conversation&& conversation) {
        const std::lock_guard lock(boxMutex_);
        return conversation();
    }

private:
    // One conversation with the box: inside withBox, the box's lock taken (waiting up to `lockWaitMs` for
    // another program's conversation to end) and the box open. False with the 503 answer when it cannot be had.
    // The lock is let go when `lock` goes; the box stays open.
    bool takeBox(std::uint32_t lockWaitMs, std::optional<device::BoxLock>& lock, ApiAnswer& answer);
    // After a failed step the handle may be dead (unplugged): the next conversation opens the box again.
    ApiAnswer deviceFailure(const std::string& step, const std::string& error);

    device::DeviceLink& link_;
    const std::string device_;
    EventHub& events_;
    const device::BoxLocker locker_;
    std::string openPath_;  // the interface the link has open
    device::ReportLengths lengths_;

    mutable std::mutex cacheMutex_;
    std::string cachedState_;
    std::chrono::system_clock::time_point cachedAt_;

    std::mutex boxMutex_;
};

// "Tue, 08 Dec 2026 19:32:43 GMT"
std::string httpDate(std::chrono::system_clock::time_point time);

}  // namespace sw::cli::serve
