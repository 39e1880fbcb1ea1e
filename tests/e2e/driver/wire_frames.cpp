#include "tests/e2e/driver/wire_frames.h"

#include <algorithm>
#include <cstdio>

namespace sw::e2e {

std::vector<std::uint8_t> commandFrame(std::uint8_t code, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> frame(kFrameLength, 0);
    frame[1] = code;
    std::copy_n(payload.begin(), std::min(payload.size(), kFrameLength - 2), frame.begin() + 2);
    return frame;
}

std::vector<std::uint8_t> repeated(std::uint8_t byte, std::size_t count) {
    return std::vector<std::uint8_t>(count, byte);
}

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += digits;
    }
    return text;
}

std::vector<std::string> hexReports(const std::vector<sim::WireEntry>& log) {
    std::vector<std::string> reports;
    for (const auto& entry : log)
        reports.push_back(hexBytes(entry.bytes));
    return reports;
}

std::vector<std::string> hexReports(const std::vector<std::vector<std::uint8_t>>& frames) {
    std::vector<std::string> reports;
    for (const auto& frame : frames)
        reports.push_back(hexBytes(frame));
    return reports;
}

std::vector<sim::WireEntry> entriesFrom(const std::vector<sim::WireEntry>& log, std::size_t first) {
    if (first >= log.size())
        return {};
    return std::vector<sim::WireEntry>(log.begin() + static_cast<std::ptrdiff_t>(first), log.end());
}

std::vector<int> commandCodes(const std::vector<sim::WireEntry>& log) {
    std::vector<int> codes;
    for (const auto& entry : log)
        codes.push_back(entry.bytes.size() >= 2 ? entry.bytes[1] : -1);
    return codes;
}

std::optional<int> carriedPosition(const sim::WireEntry& entry) {
    if (entry.bytes.size() < 4)
        return std::nullopt;
    return (entry.bytes[2] << 8) | entry.bytes[3];
}

std::optional<sim::WireEntry> lastWithCode(const std::vector<sim::WireEntry>& log, std::uint8_t code) {
    for (auto entry = log.rbegin(); entry != log.rend(); ++entry) {
        if (entry->bytes.size() >= 2 && entry->bytes[1] == code)
            return *entry;
    }
    return std::nullopt;
}

}  // namespace sw::e2e
