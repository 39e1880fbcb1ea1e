#include "sim/uhid_report_descriptor.h"

namespace sw::sim {

namespace {

// One byte-wide field per data byte: the report's length without the report ID byte.
void addReport(std::vector<std::uint8_t>& d, std::uint8_t mainItem, std::uint16_t length) {
    if (length <= 1)
        return;
    const unsigned count = length - 1u;
    if (count <= 0xFF)
        d.insert(d.end(), {0x95, static_cast<std::uint8_t>(count)});  // Report Count
    else
        d.insert(d.end(), {0x96, static_cast<std::uint8_t>(count & 0xFF), static_cast<std::uint8_t>(count >> 8)});
    d.insert(d.end(), {0x09, 0x01, mainItem, 0x02});  // Usage 1, Input/Output (Data, Variable, Absolute)
}

}  // namespace

std::vector<std::uint8_t> vendorReportDescriptor(std::uint16_t inputLength, std::uint16_t outputLength) {
    std::vector<std::uint8_t> d = {
        0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
        0x09, 0x01,        // Usage 1
        0xA1, 0x01,        // Collection (Application)
        0x15, 0x00,        // Logical Minimum 0
        0x26, 0xFF, 0x00,  // Logical Maximum 255
        0x75, 0x08,        // Report Size 8
    };
    addReport(d, 0x81, inputLength);
    addReport(d, 0x91, outputLength);
    d.push_back(0xC0);  // End Collection
    return d;
}

}  // namespace sw::sim
