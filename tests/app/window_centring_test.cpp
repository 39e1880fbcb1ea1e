#include "app/window_centring.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace sw::app {
namespace {

struct CentringCase {
    const char* name;
    int areaStart;
    int areaEnd;
    int extent;
    int expectedStart;
};

void PrintTo(const CentringCase& c, std::ostream* os) {
    *os << c.name;
}

class CentredStartTest : public testing::TestWithParam<CentringCase> {};

TEST_P(CentredStartTest, PlacesTheWindowInsideTheArea) {
    const CentringCase& c = GetParam();
    EXPECT_EQ(CentredStart(c.areaStart, c.areaEnd, c.extent), c.expectedStart);
}

INSTANTIATE_TEST_SUITE_P(
    Axis,
    CentredStartTest,
    testing::Values(
        // The main dialog on a 1024-pixel screen.
        CentringCase{"CentresOnTheWholeScreen", 0, 1024, 461, 282},
        // A taskbar on the left moves the work area's start.
        CentringCase{"CentresOnAWorkAreaThatDoesNotStartAtZero", 60, 1024, 400, 342},
        CentringCase{"CentresOnAMonitorLeftOfThePrimaryOne", -1280, 0, 461, -870},
        // Truncating division rounds the centre of a negative area towards zero, one pixel too far right.
        CentringCase{"AWindowAsWideAsAnOddAreaAtNegativeCoordinatesEndsAtItsFarEdge", -1023, 0, 1023, -1023},
        CentringCase{"AWindowAsBigAsTheAreaFillsIt", 0, 768, 768, 0},
        // The caption must stay reachable: the near edge wins over the far one.
        CentringCase{"AWindowBiggerThanTheAreaStartsAtItsNearEdge", 0, 600, 700, 0},
        CentringCase{"AWindowBiggerThanAnOffsetAreaStartsAtItsNearEdge", 40, 600, 700, 40}),
    [](const testing::TestParamInfo<CentringCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sw::app
