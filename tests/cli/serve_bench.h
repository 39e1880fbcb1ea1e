#pragma once
// `serve` in-process on the simulated box, listening on a loopback port of its own, and a raw HTTP client that
// says exactly what a test gives it (hostile requests included).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <thread>

#include "cli/serve/box_service.h"
#include "cli/serve/event_hub.h"
#include "cli/serve/http_server.h"
#include "tests/cli/cli_bench.h"

namespace sw::test {

// A connected loopback socket, closed when it goes; reads wait at most `timeout`.
class TestSocket {
public:
    TestSocket(int port, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        timeval tv{static_cast<time_t>(timeout.count() / 1000),
                   static_cast<suseconds_t>(timeout.count() % 1000 * 1000)};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~TestSocket() { ::close(fd_); }
    TestSocket(const TestSocket&) = delete;
    TestSocket& operator=(const TestSocket&) = delete;

    bool connected() const { return connected_; }
    bool send(const std::string& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // Everything until the server closes the connection or the timeout passes.
    std::string readAll() {
        std::string text;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0)
                return text;
            text.append(buffer, static_cast<std::size_t>(n));
        }
    }
    // One response of a kept-alive connection: its head and a body of Content-Length bytes.
    std::string readResponse() {
        std::string text;
        char c;
        while (text.find("\r\n\r\n") == std::string::npos && ::recv(fd_, &c, 1, 0) == 1)
            text += c;
        const auto length = text.find("Content-Length: ");
        if (length == std::string::npos)
            return text;
        std::size_t left = std::stoul(text.substr(length + 16));
        while (left > 0 && ::recv(fd_, &c, 1, 0) == 1) {
            text += c;
            --left;
        }
        return text;
    }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
    bool connected_ = false;
};

struct HttpReply {
    int status = 0;
    std::string head;
    std::string body;
};

inline HttpReply parseReply(const std::string& text) {
    HttpReply reply;
    if (text.rfind("HTTP/1.1 ", 0) == 0)
        reply.status = std::stoi(text.substr(9, 3));
    const auto end = text.find("\r\n\r\n");
    reply.head = text.substr(0, end);
    if (end != std::string::npos)
        reply.body = text.substr(end + 4);
    return reply;
}

struct ServeBench : CliBench {
    explicit ServeBench(cli::serve::ServerConfig config = {}) {
        config.guard.listenHost = "127.0.0.1";
        server = std::make_unique<cli::serve::HttpServer>(box, events, config);
        bound = server->bind(bindError);
        port = server->port();
        if (bound)
            thread = std::thread([this] { server->run(); });
    }
    ~ServeBench() {
        if (!thread.joinable())
            return;
        server->stop();
        thread.join();
    }

    std::string host() const { return "127.0.0.1:" + std::to_string(port); }

    // One request on a connection of its own, with this server's Host unless the headers give one.
    HttpReply request(const std::string& method,
                      const std::string& path,
                      const std::string& body = {},
                      const std::string& headers = {}) {
        TestSocket socket(port);
        std::string text = method + " " + path + " HTTP/1.1\r\n";
        if (headers.find("Host:") == std::string::npos)
            text += "Host: " + host() + "\r\n";
        text += headers + "Connection: close\r\n";
        if (!body.empty() || method == "POST")
            text += "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
        socket.send(text + "\r\n" + body);
        return parseReply(socket.readAll());
    }

    // The box is the server's: the test looks at it inside a conversation of its own.
    std::vector<std::string> wire() {
        return box.withBox([&] { return wireCommands(); });
    }
    template <typename Change>
    void onBox(Change change) {
        box.withBox([&] { change(model); });
    }

    cli::serve::EventHub events;
    cli::serve::BoxService box{link, "", events, boxLock.locker()};
    std::unique_ptr<cli::serve::HttpServer> server;
    bool bound = false;
    std::string bindError;
    int port = 0;
    std::thread thread;
};

// Polls `condition` every 10 ms until it holds or `limit` passes.
template <typename Condition>
bool within(std::chrono::milliseconds limit, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace sw::test
