#include "cli/serve/serve_command.h"

#include <algorithm>
#include <random>

#include "cli/cli_app.h"
#include "cli/input_file.h"
#include "cli/quoting.h"
#include "cli/serve/box_service.h"
#include "cli/serve/event_hub.h"
#include "cli/serve/http_server.h"
#include "cli/serve/request_guard.h"

namespace sw::cli {

namespace serve {

bool parseListen(const std::string& text, ListenAddress& address, std::string& error) {
    const auto colon = text.rfind(':');
    error = joined({"--listen ", quotedInput(text), ": HOST:PORT is expected (127.0.0.1:8040, [::1]:8040)"});
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size() || text.size() - colon > 6)
        return false;
    std::string host = text.substr(0, colon);
    if (host.front() == '[') {
        if (host.back() != ']' || host.size() < 3)
            return false;
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        return false;  // an IPv6 address needs its brackets
    }
    int port = 0;
    for (const char c : text.substr(colon + 1)) {
        if (c < '0' || c > '9')
            return false;
        port = port * 10 + (c - '0');
    }
    if (port > 65535)
        return false;
    address = {host, port};
    error.clear();
    return true;
}

bool tokenFromFile(const std::string& path, std::string& token, std::string& error) {
    std::string reason;
    const auto text = readInputFile(path, reason);
    if (!text) {
        error = joined({"cannot read the token file ", quotedInput(path), ": ", reason});
        return false;
    }
    token = text->substr(0, text->find_first_of("\r\n"));
    const bool visible = std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7F; });
    if (token.size() < 16 || token.size() > 256 || !visible) {
        error = joined({"the token file ", quotedInput(path),
                        ": its first line must be 16 to 256 visible ASCII characters, no spaces"});
        return false;
    }
    return true;
}

std::string newToken() {
    std::random_device random;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 8; ++i) {
        const unsigned bits = random();
        for (int shift = 0; shift < 16; shift += 4)
            token += kDigits[(bits >> shift) & 0xF];
    }
    return token;
}

}  // namespace serve

int runServe(device::DeviceLink& link,
             const device::BoxLocker& locker,
             const ServeOptions& options,
             std::ostream& out,
             std::ostream& err) {
    serve::ListenAddress address;
    std::string error;
    if (!serve::parseListen(options.listen, address, error)) {
        err << kErrorPrefix << error << "\n";
        return kExitBadInput;
    }
    serve::ServerConfig config;
    config.guard.listenHost = address.host;
    config.guard.port = address.port;
    config.guard.allowHosts = options.allowHosts;
    bool generated = false;
    if (!options.tokenFile.empty()) {
        if (!serve::tokenFromFile(options.tokenFile, config.guard.token, error)) {
            err << kErrorPrefix << error << "\n";
            return kExitBadInput;
        }
    } else if (!serve::isLoopbackHost(address.host)) {
        // Reachable from other machines: never without a token.
        config.guard.token = serve::newToken();
        generated = true;
    }

    serve::EventHub events;
    serve::BoxService box(link, options.device, events, locker);
    serve::HttpServer server(box, events, config);
    if (!server.bind(error)) {
        err << kErrorPrefix << error << "\n";
        return kExitDeviceFailure;
    }
    const bool v6 = address.host.find(':') != std::string::npos;
    out << "serving the web panel and the API on http://" << (v6 ? "[" : "") << address.host << (v6 ? "]" : "") << ":"
        << server.port() << "/ (Ctrl+C stops)\n";
    if (generated)
        out << "token (shown this once; every API request carries it as \"Authorization: Bearer TOKEN\"): "
            << config.guard.token << "\n";
    out.flush();
    serve::stopOnInterrupt();
    server.run();
    box.withBox([&] { link.Close(); });
    out << "stopped\n";
    return kExitOk;
}

}  // namespace sw::cli
