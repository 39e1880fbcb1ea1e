#pragma once
// `serve`: the box on the network, as an HTTP API and a web panel, until Ctrl+C.

#include <ostream>
#include <string>
#include <vector>

#include "device/box_lock.h"
#include "device/device_link.h"

namespace sw::cli {

inline constexpr char kDefaultListen[] = "127.0.0.1:8040";

struct ServeOptions {
    std::string listen = kDefaultListen;  // HOST:PORT, [IPv6]:PORT; port 0 takes any free one
    std::string device;                   // a path, port or serial number; empty: the first ZEL-OT40
    std::string tokenFile;                // empty: none on loopback, one generated elsewhere
    std::vector<std::string> allowHosts;
};

// Exit code 2 for a refused option, 1 when the address cannot be had; 0 after a stop.
int runServe(device::DeviceLink& link,
             const device::BoxLocker& locker,
             const ServeOptions& options,
             std::ostream& out,
             std::ostream& err);

namespace serve {

struct ListenAddress {
    std::string host;
    int port = 0;
};

// "127.0.0.1:8040", "[::1]:8040", "0.0.0.0:0"; none with `error`.
bool parseListen(const std::string& text, ListenAddress& address, std::string& error);

// A token from a file: its first line, 16 to 256 visible ASCII characters; none with `error`.
bool tokenFromFile(const std::string& path, std::string& token, std::string& error);

// 128 random bits in hexadecimal.
std::string newToken();

// Installs the handler that makes Ctrl+C (and on Linux SIGTERM) stop the server.
void stopOnInterrupt();

}  // namespace serve

}  // namespace sw::cli
