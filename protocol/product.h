#pragma once
// The box this program drives: its model name, its USB IDs and the ranges of what it holds.

#include <cstdint>

namespace sw::protocol {

inline constexpr char kModelName[] = "ZEL-OT40";
// Four hexadecimal digits, as the panel's product list holds them.
inline constexpr char kVendorIdText[] = "3C9B";
inline constexpr char kProductIdText[] = "5D17";

constexpr std::uint16_t parseHexId(const char* digits) {
    std::uint16_t value = 0;
    for (; *digits != '\0'; ++digits) {
        const char c = *digits;
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c - 'A' + 10;
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

inline constexpr std::uint16_t kVendorId = parseHexId(kVendorIdText);
inline constexpr std::uint16_t kProductId = parseHexId(kProductIdText);
static_assert(kVendorId == 0x3C9B && kProductId == 0x5D17);

// Positions as the panel sends them; the device reports up to 4095 (12 bits).
inline constexpr std::uint16_t kMaxPosition = 2047;
inline constexpr std::uint16_t kMaxReportedPosition = 4095;

}  // namespace sw::protocol
