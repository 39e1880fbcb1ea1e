#include "cli/serve/request_guard.h"

#include <algorithm>
#include <cctype>

#include "cli/quoting.h"

namespace sw::cli::serve {

namespace {

std::string lowered(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// A Host header's name and port: "name", "name:8040", "[::1]:8040". False when it is no such thing.
bool splitHost(std::string_view value, std::string& name, std::optional<int>& port) {
    std::string_view rest;
    if (!value.empty() && value.front() == '[') {
        const auto close = value.find(']');
        if (close == std::string_view::npos)
            return false;
        name = lowered(value.substr(1, close - 1));
        rest = value.substr(close + 1);
    } else {
        const auto colon = value.find(':');
        name = lowered(value.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view{} : value.substr(colon);
    }
    if (name.empty())
        return false;
    if (rest.empty())
        return true;
    if (rest.front() != ':' || rest.size() < 2 || rest.size() > 6)
        return false;
    int number = 0;
    for (const char c : rest.substr(1)) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    port = number;
    return true;
}

bool isWildcard(std::string_view host) {
    return host == "0.0.0.0" || host == "::";
}

bool hostAllowed(const GuardConfig& config, const std::string& name) {
    if (name == "localhost" || name == lowered(config.listenHost))
        return true;
    // Listening on every address: the loopback literals name it as well as any --allow-host name.
    if (isWildcard(config.listenHost) && isLoopbackHost(name))
        return true;
    return std::any_of(config.allowHosts.begin(), config.allowHosts.end(),
                       [&](const std::string& allowed) { return lowered(allowed) == name; });
}

}  // namespace

bool isLoopbackHost(std::string_view host) {
    const std::string name = lowered(host);
    return name == "localhost" || name == "::1" || name.rfind("127.", 0) == 0;
}

bool sameToken(std::string_view given, std::string_view expected) {
    unsigned char difference = given.size() == expected.size() ? 0 : 1;
    for (std::size_t i = 0; i < given.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ (expected.empty() ? 0 : expected[i % expected.size()]));
    return difference == 0;
}

std::optional<Refusal> checkRequest(const GuardConfig& config, const RequestHeaders& headers, bool api) {
    std::string name;
    std::optional<int> port;
    if (!headers.host || !splitHost(*headers.host, name, port) || (port && *port != config.port) ||
        (!port && config.port != 80) || !hostAllowed(config, name)) {
        return Refusal{kStatusMisdirected,
                       joined({"the Host ", headers.host ? quotedInput(*headers.host) : "(none)",
                               " does not name this server; serve --allow-host NAME admits another name"})};
    }
    // A browser names the page that sends a request; only this server's own page may drive the box.
    if (headers.origin) {
        const std::string expected = joined({"http://", lowered(*headers.host)});
        if (lowered(*headers.origin) != expected)
            return Refusal{kStatusForbidden,
                           joined({"a request from another site (Origin ", quotedInput(*headers.origin),
                                   ") is refused: only this server's own page may send"})};
    }
    if (api && !config.token.empty()) {
        constexpr std::string_view kBearer = "Bearer ";
        const std::string_view given = headers.authorization.value_or("");
        if (given.substr(0, kBearer.size()) != kBearer || !sameToken(given.substr(kBearer.size()), config.token))
            return Refusal{kStatusUnauthorized, "the token is missing or wrong (Authorization: Bearer TOKEN)"};
    }
    return std::nullopt;
}

}  // namespace sw::cli::serve
