#include "protocol/query_request.h"

#include <algorithm>

namespace sw::protocol {

bool buildQueryRequest(QueryCode code, std::span<std::uint8_t> report) {
    if (report.size() < kCommandFrameLength) {
        return false;
    }
    // A query has no parameters: the code is followed by zeros up to the end of the command frame.
    report[1] = static_cast<std::uint8_t>(code);
    std::fill(report.begin() + 2, report.begin() + kCommandFrameLength, std::uint8_t{0});
    return true;
}

}  // namespace sw::protocol
