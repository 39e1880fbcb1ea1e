#pragma once
// The bodies `serve` takes, checked before the box is touched: UTF-8 JSON no deeper than a preset, then the
// preset parser and the send rules of `send --preset`. Pure, so that the fuzz target covers the request path.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/settings.h"

namespace sw::cli::serve {

inline constexpr int kStatusOk = 200;
inline constexpr int kStatusBadRequest = 400;     // not UTF-8, not JSON, nested too deep
inline constexpr int kStatusUnprocessable = 422;  // a refusal by name: a key, a value, a character

// A preset is two levels deep ("input" is an object in it).
inline constexpr std::size_t kMaxJsonDepth = 4;

struct SendBody {
    int status = kStatusOk;
    std::string error;               // when status is not 200
    std::vector<std::string> notes;  // what is taken otherwise than written
    SettingsRequest request;
    std::vector<PlannedCommand> plan;
};

// POST /api/v1/send: a preset, partial allowed, as `send --preset` takes it.
SendBody parseSendBody(std::string_view body);

struct PositionBody {
    int status = kStatusOk;
    std::string error;
    std::optional<std::uint16_t> h;
    std::optional<std::uint16_t> v;
};

// POST /api/v1/position: {"h": ..., "v": ...}, either or both, read by the preset's rules for "h" and "v".
PositionBody parsePositionBody(std::string_view body);

// Empty when `body` is UTF-8 JSON within kMaxJsonDepth; else why not.
std::string jsonSyntaxError(std::string_view body);

}  // namespace sw::cli::serve
