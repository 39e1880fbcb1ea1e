#pragma once
// The HTTP side of `serve`: the API under /api/v1/ and the web panel at /, behind the request guard, with
// bounded bodies, connections and time per request.

#include <cstddef>
#include <memory>
#include <string>
// The clocks and durations: <chrono> itself does not compile where narrow literals are code page 932 (gcc 12's
// holds a micro sign), and <thread> brings what is needed of it.
#include <thread>

#include "cli/serve/box_service.h"
#include "cli/serve/event_hub.h"
#include "cli/serve/request_guard.h"

namespace sw::cli::serve {

inline constexpr int kStatusAccepted = 202;
inline constexpr int kStatusTooLarge = 413;
inline constexpr int kStatusBusy = 503;

struct ServeLimits {
    std::size_t maxBodyBytes = 64 * 1024;
    // Connections served at once (event streams included); one more is answered 503 at once and closed.
    int maxConnections = 128;
    // From a request's first byte until it has been read whole: a client that trickles it is cut off.
    std::chrono::milliseconds requestDeadline{10000};
    int idleSeconds = 5;  // a kept-alive connection with no request; a send or receive that makes no progress
    std::chrono::milliseconds liveDelay{100};         // as the panel's live position timer
    std::chrono::milliseconds eventKeepAlive{15000};  // a comment on an idle event stream
};

struct ServerConfig {
    GuardConfig guard;  // its port 0: any free port (port() tells which)
    ServeLimits limits;
};

class HttpServer {
public:
    HttpServer(BoxService& box, EventHub& events, ServerConfig config);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // False with `error` when the address cannot be had.
    bool bind(std::string& error);
    int port() const;
    // Serves until stop() (from any thread) or requestStop().
    void run();
    void stop();

    // Safe in a signal handler or a console control handler: the server stops within a fifth of a second.
    static void requestStop();

    // Connections being served now (for the figures and the tests).
    int connections() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sw::cli::serve
