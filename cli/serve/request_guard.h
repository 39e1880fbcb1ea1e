#pragma once
// Who may talk to `serve`: a local web server that drives hardware is reachable from every page the operator
// visits. A request must name this server in its Host (a rebound DNS name does not), come from its own page
// when a browser sends it (no other site's Origin), and carry the token when one is set.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw::cli::serve {

inline constexpr int kStatusUnauthorized = 401;
inline constexpr int kStatusForbidden = 403;
inline constexpr int kStatusMisdirected = 421;

struct GuardConfig {
    std::string listenHost;  // as given to --listen: "127.0.0.1", "::1", "0.0.0.0", "studio-pc"...
    int port = 0;
    std::string token;  // empty: none asked for (loopback only)
    std::vector<std::string> allowHosts;
};

struct RequestHeaders {
    std::optional<std::string_view> host;
    std::optional<std::string_view> origin;
    std::optional<std::string_view> authorization;
};

struct Refusal {
    int status = 0;
    std::string error;
};

// Nothing when the request may go on. `api`: a path under /api/, which needs the token.
std::optional<Refusal> checkRequest(const GuardConfig& config, const RequestHeaders& headers, bool api);

// Equal texts, in a time that depends on their lengths only, not on where they first differ.
bool sameToken(std::string_view given, std::string_view expected);

// 127.0.0.0/8, ::1 and "localhost".
bool isLoopbackHost(std::string_view host);

}  // namespace sw::cli::serve
