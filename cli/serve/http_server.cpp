// The one translation unit that compiles cpp-httplib.

#include "cli/serve/http_server.h"

// Connections arriving at once wait in the system's queue while the accept loop answers them.
#define CPPHTTPLIB_LISTEN_BACKLOG 64
#ifndef _WIN32
// poll(): no limit on the socket's number (select() stops at 1024).
#define CPPHTTPLIB_USE_POLL
#endif
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cli/quoting.h"
#include "cli/serve/live_position.h"
#include "cli/serve/request_body.h"
#include "cli/serve/web_panel.h"

namespace sw::cli::serve {

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<bool> stopRequested{false};

// Set while the accept loop turns away a connection over the limit: its processing only answers 503.
thread_local bool refusingConnection = false;
// The socket whose request this worker thread is serving.
thread_local socket_t currentSocket = INVALID_SOCKET;

std::string errorJson(std::string_view error) {
    const nlohmann::json body = {{"error", error}};
    return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

// Cuts off the connections whose request has not been read whole by its deadline: a client that trickles a
// byte a second would otherwise hold a worker for as long as it likes (each read only waits for the next byte).
class RequestWatchdog {
public:
    explicit RequestWatchdog(std::chrono::milliseconds deadline) : deadline_(deadline), thread_([this] { run(); }) {}
    ~RequestWatchdog() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void arm(socket_t socket) {
        {
            const std::lock_guard lock(mutex_);
            due_[socket] = Clock::now() + deadline_;
        }
        changed_.notify_all();
    }
    // Called before the socket is closed, so that a later socket with the same number is never cut.
    void disarm(socket_t socket) {
        const std::lock_guard lock(mutex_);
        due_.erase(socket);
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            auto next = Clock::time_point::max();
            const auto now = Clock::now();
            for (auto it = due_.begin(); it != due_.end();) {
                if (it->second <= now) {
                    httplib::detail::shutdown_socket(it->first);  // its blocked read returns at once
                    it = due_.erase(it);
                } else {
                    next = std::min(next, it->second);
                    ++it;
                }
            }
            if (next == Clock::time_point::max())
                changed_.wait(lock);
            else
                changed_.wait_until(lock, next);
        }
    }

    const std::chrono::milliseconds deadline_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<socket_t, Clock::time_point> due_;
    bool stopping_ = false;
    std::thread thread_;
};

// A fixed set of workers, one connection each. The accept loop never waits for a free one: a connection over
// the limit is answered 503 and closed there and then.
class ConnectionPool : public httplib::TaskQueue {
public:
    ConnectionPool(int workers, std::function<void()> onIdle) : onIdle_(std::move(onIdle)) {
        for (int i = 0; i < workers; ++i)
            threads_.emplace_back([this] { work(); });
        limit_ = workers;
    }

    void enqueue(std::function<void()> fn) override {
        {
            std::unique_lock lock(mutex_);
            if (active_ < limit_) {
                ++active_;
                jobs_.push_back(std::move(fn));
                lock.unlock();
                changed_.notify_one();
                return;
            }
        }
        refusingConnection = true;
        fn();
        refusingConnection = false;
    }

    void shutdown() override {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    void on_idle() override { onIdle_(); }

    int active() const {
        const std::lock_guard lock(mutex_);
        return active_;
    }

private:
    void work() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
                if (jobs_.empty())
                    return;
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job();
            const std::lock_guard lock(mutex_);
            --active_;
        }
    }

    const std::function<void()> onIdle_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    int active_ = 0;
    int limit_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// httplib's server with the connection limit and the request deadline around each connection.
class GuardedServer : public httplib::Server {
public:
    GuardedServer(const ServeLimits& limits, RequestWatchdog& watchdog) : watchdog_(watchdog) {
        set_payload_max_length(limits.maxBodyBytes);
        set_read_timeout(limits.idleSeconds, 0);
        set_write_timeout(limits.idleSeconds, 0);
        set_keep_alive_timeout(limits.idleSeconds);
        // The accept loop wakes this often to see whether a stop was asked for.
        set_idle_interval(0, 200000);
    }

    // Set by a handler whose answer ends the connection (a refused request's body was never read).
    static thread_local bool closeAfterThis;

private:
    bool process_and_close_socket(socket_t sock) override {
        if (refusingConnection) {
            const std::string body = errorJson("too many connections; try again");
            const std::string answer =
                "HTTP/1.1 503 Service Unavailable\r\nContent-Type: application/json\r\nConnection: close\r\n"
                "Content-Length: " +
                std::to_string(body.size()) + "\r\n\r\n" + body;
            ::send(sock, answer.data(), static_cast<int>(answer.size()), 0);
            httplib::detail::shutdown_socket(sock);
            httplib::detail::close_socket(sock);
            return false;
        }
        currentSocket = sock;
        const bool served = httplib::detail::process_server_socket(
            svr_sock_, sock, keep_alive_max_count_, keep_alive_timeout_sec_, read_timeout_sec_, read_timeout_usec_,
            write_timeout_sec_, write_timeout_usec_,
            [this, sock](httplib::Stream& stream, bool closeConnection, bool& connectionClosed) {
                watchdog_.arm(sock);  // the request's first byte is there
                closeAfterThis = false;
                const bool ok = process_request(stream, closeConnection, connectionClosed, nullptr);
                watchdog_.disarm(sock);
                if (closeAfterThis)
                    connectionClosed = true;
                return ok;
            });
        watchdog_.disarm(sock);
        currentSocket = INVALID_SOCKET;
        httplib::detail::shutdown_socket(sock);
        httplib::detail::close_socket(sock);
        return served;
    }

    RequestWatchdog& watchdog_;
};

thread_local bool GuardedServer::closeAfterThis = false;

}  // namespace

class HttpServer::Impl {
public:
    Impl(BoxService& box, EventHub& events, ServerConfig config)
        : box_(box),
          events_(events),
          config_(std::move(config)),
          watchdog_(config_.limits.requestDeadline),
          server_(config_.limits, watchdog_),
          live_(config_.limits.liveDelay,
                [this](std::optional<std::uint16_t> h, std::optional<std::uint16_t> v) { box_.sendPosition(h, v); }),
          page_(webPanelPage()) {
        server_.new_task_queue = [this] {
            auto* pool = new ConnectionPool(config_.limits.maxConnections, [this] {
                // A stop asked for before the accept loop ran finds the server not running yet: it is done here.
                if (stopping_ || stopRequested.exchange(false))
                    stop();
            });
            pool_.store(pool);
            return pool;
        };
        routes();
    }

    bool bind(std::string& error) {
        const std::string& host = config_.guard.listenHost;
        if (config_.guard.port == 0) {
            const int port = server_.bind_to_any_port(host);
            if (port <= 0) {
                error = joined({"cannot listen on ", host, ": the address is not this machine's"});
                return false;
            }
            config_.guard.port = port;
            return true;
        }
        if (!server_.bind_to_port(host, config_.guard.port)) {
            error = joined({"cannot listen on ", host, ":", std::to_string(config_.guard.port),
                            ": the port is taken, or the address is not this machine's"});
            return false;
        }
        return true;
    }

    int port() const { return config_.guard.port; }
    void run() {
        server_.listen_after_bind();
        pool_.store(nullptr);  // the accept loop's pool is gone with it
    }
    void stop() {
        stopping_ = true;
        events_.close();  // event streams end, so that their workers are free to be joined
        server_.stop();
    }
    int connections() const {
        const ConnectionPool* pool = pool_.load();
        return pool ? pool->active() : 0;
    }

private:
    static void answer(httplib::Response& res, int status, const std::string& body) {
        res.status = status;
        res.set_content(body, "application/json");
    }

    static void answer(httplib::Response& res, const ApiAnswer& api) {
        answer(res, api.status, api.body);
        if (!api.lastModified.empty())
            res.set_header("Last-Modified", api.lastModified);
    }

    // The request has been read whole: from here on the box or an event stream sets the pace, not the deadline.
    template <typename Handler>
    httplib::Server::Handler handled(Handler handler) {
        return [this, handler](const httplib::Request& req, httplib::Response& res) {
            watchdog_.disarm(currentSocket);
            handler(req, res);
        };
    }

    void routes() {
        server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
            const bool api = req.path.rfind("/api/", 0) == 0;
            RequestHeaders headers;
            const auto header = [&](const char* name) -> std::optional<std::string_view> {
                const auto it = req.headers.find(name);
                if (it == req.headers.end())
                    return std::nullopt;
                return std::string_view(it->second);
            };
            headers.host = header("Host");
            headers.origin = header("Origin");
            headers.authorization = header("Authorization");
            const auto refusal = checkRequest(config_.guard, headers, api);
            if (!refusal)
                return httplib::Server::HandlerResponse::Unhandled;
            answer(res, refusal->status, errorJson(refusal->error));
            GuardedServer::closeAfterThis = true;  // its body, if any, was never read
            return httplib::Server::HandlerResponse::Handled;
        });
        server_.set_error_handler(
            httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
                if (!res.body.empty())
                    return httplib::Server::HandlerResponse::Unhandled;
                switch (res.status) {
                    case 404:
                        answer(res, 404, errorJson("no such page or API path"));
                        break;
                    case kStatusTooLarge:
                        answer(res, kStatusTooLarge, errorJson("the body is larger than 64 KB"));
                        break;
                    default:
                        answer(res, res.status, errorJson(httplib::detail::status_message(res.status)));
                }
                return httplib::Server::HandlerResponse::Handled;
            }));

        server_.Get("/", handled([this](const httplib::Request&, httplib::Response& res) {
                        res.set_content(page_, "text/html; charset=utf-8");
                        res.set_header("Content-Security-Policy",
                                       "default-src 'self'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                                       "frame-ancestors 'none'");
                        res.set_header("X-Frame-Options", "DENY");
                        res.set_header("X-Content-Type-Options", "nosniff");
                        res.set_header("Referrer-Policy", "no-referrer");
                    }));
        server_.Get("/api/v1/devices",
                    handled([this](const httplib::Request&, httplib::Response& res) { answer(res, box_.devices()); }));
        server_.Get("/api/v1/state", handled([this](const httplib::Request& req, httplib::Response& res) {
                        answer(res, req.get_param_value("cached") == "1" ? box_.cachedState() : box_.readState());
                    }));
        server_.Post("/api/v1/send", handled([this](const httplib::Request& req, httplib::Response& res) {
                         const SendBody body = parseSendBody(req.body);
                         if (body.status != kStatusOk)
                             return answer(res, body.status, errorJson(body.error));
                         answer(res, box_.send(body));
                     }));
        server_.Post("/api/v1/position", handled([this](const httplib::Request& req, httplib::Response& res) {
                         const PositionBody body = parsePositionBody(req.body);
                         if (body.status != kStatusOk)
                             return answer(res, body.status, errorJson(body.error));
                         live_.change(body.h, body.v);
                         std::string queued = "{\"queued\":{";
                         if (body.h)
                             queued += "\"h\":" + std::to_string(*body.h) + (body.v ? "," : "");
                         if (body.v)
                             queued += "\"v\":" + std::to_string(*body.v);
                         answer(res, kStatusAccepted, queued + "}}\n");
                     }));
        server_.Get("/api/v1/events", handled([this](const httplib::Request&, httplib::Response& res) {
                        res.set_header("Cache-Control", "no-store");
                        events_.streamOpened();
                        auto last = std::make_shared<std::uint64_t>(events_.newestId());
                        res.set_chunked_content_provider(
                            "text/event-stream",
                            [this, last](std::size_t offset, httplib::DataSink& sink) {
                                if (offset == 0) {
                                    const std::string hello = ": stampwright events\nretry: 2000\n\n";
                                    return sink.write(hello.data(), hello.size());
                                }
                                const std::vector<Event> events = events_.after(*last, config_.limits.eventKeepAlive);
                                if (events_.closed()) {
                                    sink.done();
                                    return true;
                                }
                                std::string frames = events.empty() ? ": idle\n\n" : "";
                                for (const Event& event : events) {
                                    frames += sseFrame(event);
                                    *last = event.id;
                                }
                                return sink.write(frames.data(), frames.size());
                            },
                            [this](bool) { events_.streamClosed(); });
                    }));
    }

    BoxService& box_;
    EventHub& events_;
    ServerConfig config_;
    RequestWatchdog watchdog_;
    GuardedServer server_;
    LivePosition live_;
    const std::string page_;
    std::atomic<ConnectionPool*> pool_{nullptr};
    std::atomic<bool> stopping_{false};
};

HttpServer::HttpServer(BoxService& box, EventHub& events, ServerConfig config)
    : impl_(std::make_unique<Impl>(box, events, std::move(config))) {}
HttpServer::~HttpServer() = default;
bool HttpServer::bind(std::string& error) {
    return impl_->bind(error);
}
int HttpServer::port() const {
    return impl_->port();
}
void HttpServer::run() {
    impl_->run();
}
void HttpServer::stop() {
    impl_->stop();
}
void HttpServer::requestStop() {
    stopRequested.store(true);
}
int HttpServer::connections() const {
    return impl_->connections();
}

}  // namespace sw::cli::serve
