#pragma once
// Report frames for the simulator's tests, built by hand so the tests do not lean on the code under test.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <vector>

namespace sw::sim::test {

// A zero-filled output report with `code` in byte 1 and `payload` from byte 2 on.
inline std::vector<std::uint8_t> command(std::uint8_t code,
                                         std::initializer_list<std::uint8_t> payload = {},
                                         std::size_t length = 65) {
    std::vector<std::uint8_t> report(length, 0);
    if (length > 1)
        report[1] = code;
    std::size_t at = 2;
    for (std::uint8_t b : payload) {
        if (at < length)
            report[at] = b;
        ++at;
    }
    return report;
}

// `length` bytes, zero except the listed ones.
inline std::vector<std::uint8_t> bytesWith(std::size_t length, const std::map<std::size_t, std::uint8_t>& set) {
    std::vector<std::uint8_t> bytes(length, 0);
    for (auto [at, value] : set)
        bytes.at(at) = value;
    return bytes;
}

}  // namespace sw::sim::test
