#pragma once
// Report lengths from a HID report descriptor, counted as Windows' capabilities count them: the longest input
// and output report in bytes, with one byte for the report ID whether or not the device numbers its reports.

#include <cstdint>
#include <span>

namespace sw::device {

struct DescriptorLengths {
    std::uint16_t input = 0;
    std::uint16_t output = 0;
    bool numberedReports = false;  // a Report ID item is present: reports carry their ID in their first byte
    bool valid = false;            // false for a descriptor that ends inside an item
};

DescriptorLengths parseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace sw::device
