#pragma once
// What arrived on the simulated device's wire, in the forms the scenarios compare: whole reports as hexadecimal
// text (a failed check then shows both reports byte by byte) and the command codes in arrival order.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/ot40_model.h"

namespace sw::e2e {

// Every report the panel writes is the report ID, the code and 63 command bytes.
inline constexpr std::size_t kFrameLength = 65;

// A whole report as the panel must write it: report ID 0, `code`, then `payload` from byte 2, zeros after it.
std::vector<std::uint8_t> commandFrame(std::uint8_t code, const std::vector<std::uint8_t>& payload = {});
// `count` copies of `byte`, for payloads that repeat one value.
std::vector<std::uint8_t> repeated(std::uint8_t byte, std::size_t count);

// "20 04 D2 00 ..." (upper case, one space between bytes).
std::string hexBytes(std::span<const std::uint8_t> bytes);
std::vector<std::string> hexReports(const std::vector<sim::WireEntry>& log);
std::vector<std::string> hexReports(const std::vector<std::vector<std::uint8_t>>& frames);

// The entries from index `first` on.
std::vector<sim::WireEntry> entriesFrom(const std::vector<sim::WireEntry>& log, std::size_t first);
// Byte 1 of each entry (-1 for one too short to carry a code).
std::vector<int> commandCodes(const std::vector<sim::WireEntry>& log);
// The position that a SetHPosition or SetVPosition report carries (bytes 2 and 3, high byte first).
std::optional<int> carriedPosition(const sim::WireEntry& entry);
// The last entry whose code is `code`, if any.
std::optional<sim::WireEntry> lastWithCode(const std::vector<sim::WireEntry>& log, std::uint8_t code);

}  // namespace sw::e2e
