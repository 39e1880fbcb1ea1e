// The swatch's place beside its row edit at the DPI of the dialog's screen.

#include <gtest/gtest.h>

#include <string>

#include "panel/swatch_geometry.h"

namespace sw::test {
namespace {

using panel::PixelRect;

struct DpiCase {
    int dpi;
    int nearGap;  // 7 at 96 DPI
    int farGap;   // 22
    int inset;    // 2
};

class SwatchAtDpi : public ::testing::TestWithParam<DpiCase> {};

TEST_P(SwatchAtDpi, KeepsItsGapsInProportionToTheDialog) {
    const DpiCase& c = GetParam();
    EXPECT_EQ(panel::scaleForDpi(7, c.dpi), c.nearGap);
    EXPECT_EQ(panel::scaleForDpi(22, c.dpi), c.farGap);
    EXPECT_EQ(panel::scaleForDpi(2, c.dpi), c.inset);
    const PixelRect edit{100, 40, 300, 61};
    EXPECT_EQ(panel::swatchBeside(edit, c.dpi),
              (PixelRect{100 - c.nearGap, 40 + c.inset, 100 - c.farGap, 61 - c.inset}));
}

// 10.5 pixels at 144 DPI round up to 11, as MulDiv rounds.
INSTANTIATE_TEST_SUITE_P(
    Dpi,
    SwatchAtDpi,
    ::testing::Values(DpiCase{96, 7, 22, 2}, DpiCase{120, 9, 28, 3}, DpiCase{144, 11, 33, 3}, DpiCase{192, 14, 44, 4}),
    [](const auto& info) { return std::to_string(info.param.dpi); });

}  // namespace
}  // namespace sw::test
