#include "device/hid_report_descriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace sw::device {

namespace {

// Item prefixes with their size bits masked off (HID 1.11, 6.2.2).
constexpr std::uint8_t kInput = 0x80;
constexpr std::uint8_t kOutput = 0x90;
constexpr std::uint8_t kReportSize = 0x74;
constexpr std::uint8_t kReportId = 0x84;
constexpr std::uint8_t kReportCount = 0x94;
constexpr std::uint8_t kPush = 0xA4;
constexpr std::uint8_t kPop = 0xB4;
constexpr std::uint8_t kLongItem = 0xFE;

struct Globals {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

std::uint16_t bytesWithId(std::uint64_t bits) {
    const std::uint64_t bytes = (bits + 7) / 8 + 1;
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(bytes, 0xFFFF));
}

}  // namespace

DescriptorLengths parseReportDescriptor(std::span<const std::uint8_t> descriptor) {
    DescriptorLengths lengths;
    Globals globals;
    std::vector<Globals> stack;
    std::map<std::uint32_t, std::uint64_t> inputBits;
    std::map<std::uint32_t, std::uint64_t> outputBits;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItem) {
            if (pos + 1 >= descriptor.size())
                return lengths;
            pos += 3 + descriptor[pos + 1];
            continue;
        }
        const std::size_t size = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (pos + 1 + size > descriptor.size())
            return lengths;
        std::uint32_t data = 0;
        for (std::size_t i = 0; i < size; ++i)
            data |= static_cast<std::uint32_t>(descriptor[pos + 1 + i]) << (8 * i);
        pos += 1 + size;

        switch (prefix & 0xFC) {
            case kReportSize:
                globals.reportSize = data;
                break;
            case kReportCount:
                globals.reportCount = data;
                break;
            case kReportId:
                globals.reportId = data;
                lengths.numberedReports = true;
                break;
            case kPush:
                stack.push_back(globals);
                break;
            case kPop:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            case kInput:
                inputBits[globals.reportId] += std::uint64_t{globals.reportSize} * globals.reportCount;
                break;
            case kOutput:
                outputBits[globals.reportId] += std::uint64_t{globals.reportSize} * globals.reportCount;
                break;
            default:
                break;
        }
    }
    for (const auto& [id, bits] : inputBits)
        lengths.input = std::max(lengths.input, bytesWithId(bits));
    for (const auto& [id, bits] : outputBits)
        lengths.output = std::max(lengths.output, bytesWithId(bits));
    lengths.valid = true;
    return lengths;
}

}  // namespace sw::device
