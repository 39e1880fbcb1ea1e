#pragma once
// The report descriptor the simulated box gives the host: a vendor-page collection with one input and one output
// report of the model's lengths and no report IDs, as the ZEL-OT40 presents itself. Portable bytes.

#include <cstdint>
#include <vector>

namespace sw::sim {

// Lengths as the model states them, report ID byte included; a length of 0 or 1 leaves that report out.
std::vector<std::uint8_t> vendorReportDescriptor(std::uint16_t inputLength, std::uint16_t outputLength);

}  // namespace sw::sim
