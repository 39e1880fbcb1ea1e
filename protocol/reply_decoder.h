#pragma once
// Decoding of one input report by its echo code (byte 1).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "protocol/command_codes.h"

namespace sw::protocol {

struct LayoutReply {
    std::uint16_t hPosition = 0;  // 0..4095
    std::uint16_t vPosition = 0;  // 0..4095
    std::uint8_t sizeIndex = 0;   // 0..3 (x1..x4)
    bool halftone = false;
    bool operator==(const LayoutReply&) const = default;
};

struct ColourReply {
    int colour = 1;                // 1 or 2, from the echo code
    std::uint8_t colourIndex = 0;  // 0..15
    bool operator==(const ColourReply&) const = default;
};

struct RowReply {
    int row = 1;        // 1 or 2, from the echo code
    std::string text;   // Shift-JIS bytes, never containing a zero byte
    int cellCount = 0;  // 0..16
    // The 16 cells as they came (reply bytes 2 to 33), for a front that must give them back exactly.
    RowCells cells{};
    bool operator==(const RowReply&) const = default;
};

struct StatusReply {
    int osdPattern = 1;  // 1..4
    bool explicitResolution = false;
    std::uint16_t explicitWidth = 0;   // 0..4095
    std::uint16_t explicitHeight = 0;  // 0..4095
    bool explicitInterlaced = false;
    std::uint8_t signalMode = 0;  // 0..7
    bool operator==(const StatusReply&) const = default;
};

// An unknown echo code, or a reply too short for the bytes its decoder needs.
struct UnrecognisedReply {
    bool operator==(const UnrecognisedReply&) const = default;
};

using DecodedReply = std::variant<UnrecognisedReply, LayoutReply, ColourReply, RowReply, StatusReply>;

// Bytes each decoder reads (index of its last byte + 1); a shorter reply is unrecognised.
inline constexpr std::size_t kLayoutReplyLength = 8;
inline constexpr std::size_t kColourReplyLength = 3;
inline constexpr std::size_t kRowReplyLength = 34;
inline constexpr std::size_t kStatusReplyLength = 25;

// `reply` is the whole input report with its real length. Never reads past its end; no side effects.
DecodedReply decodeReply(std::span<const std::uint8_t> reply);

}  // namespace sw::protocol
