// The descriptor the simulated box gives the host states the model's report lengths, as the Linux link reads them.

#include "sim/uhid_report_descriptor.h"

#include <gtest/gtest.h>

#include "device/hid_report_descriptor.h"

namespace sw::sim {
namespace {

TEST(UhidReportDescriptor, StatesTheModelsLengthsWithoutReportIds) {
    const struct {
        std::uint16_t input;
        std::uint16_t output;
    } cases[] = {{65, 65}, {20, 65}, {0, 65}, {65, 0}, {400, 300}};
    for (const auto& c : cases) {
        const auto descriptor = vendorReportDescriptor(c.input, c.output);
        const device::DescriptorLengths lengths = device::parseReportDescriptor(descriptor);
        EXPECT_TRUE(lengths.valid);
        EXPECT_EQ(lengths.input, c.input) << c.input << "/" << c.output;
        EXPECT_EQ(lengths.output, c.output) << c.input << "/" << c.output;
        EXPECT_FALSE(lengths.numberedReports);
    }
    EXPECT_EQ(vendorReportDescriptor(65, 65).size(), 27u);
}

}  // namespace
}  // namespace sw::sim
