#pragma once
// The request report of a query: report ID 0, the code, and zeros up to the end of the report.

#include <cstdint>
#include <span>

#include "protocol/command_codes.h"

namespace sw::protocol {

// Writes bytes 1 to 64 of `report` (code, then 63 zeros); bytes after 64 are left as they are (zero-filled by
// the caller). Returns false, writing nothing, when the report is shorter than kCommandFrameLength.
bool buildQueryRequest(QueryCode code, std::span<std::uint8_t> report);

}  // namespace sw::protocol
