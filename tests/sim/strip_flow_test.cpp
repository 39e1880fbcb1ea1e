// The monitor's control strip wraps like text to fit the window's width.

#include "sim/strip_flow.h"

#include <gtest/gtest.h>

namespace sw::sim {
namespace {

// A label with its list, a label with its edit, a check box.
const std::vector<std::vector<int>> kGroups = {{50, 150}, {40, 40}, {100}};

TEST(StripFlow, GroupsThatFitShareOneLine) {
    const Flow flow = flowStrip(kGroups, 400, 5);

    EXPECT_EQ(flow.lines, 1);
    EXPECT_EQ(flow.places[0][1], (FlowPlace{0, 55}));
    EXPECT_EQ(flow.places[1][0], (FlowPlace{0, 210}));
    EXPECT_EQ(flow.places[2][0], (FlowPlace{0, 300}));
}

TEST(StripFlow, AGroupThatWouldPassTheEdgeStartsTheNextLineWhole) {
    // The check box would end at 400: one pixel too far for 399.
    const Flow flow = flowStrip(kGroups, 399, 5);

    EXPECT_EQ(flow.lines, 2);
    EXPECT_EQ(flow.places[1][1], (FlowPlace{0, 255}));
    EXPECT_EQ(flow.places[2][0], (FlowPlace{1, 0}));
}

TEST(StripFlow, ALabelStaysOnTheLineOfItsControl) {
    const Flow flow = flowStrip(kGroups, 250, 5);

    EXPECT_EQ(flow.lines, 2);
    EXPECT_EQ(flow.places[1][0], (FlowPlace{1, 0}));
    EXPECT_EQ(flow.places[1][1], (FlowPlace{1, 45}));
    EXPECT_EQ(flow.places[2][0], (FlowPlace{1, 90}));
}

TEST(StripFlow, AGroupWiderThanTheStripTakesALineOfItsOwn) {
    const Flow flow = flowStrip(kGroups, 120, 5);

    EXPECT_EQ(flow.lines, 3);
    EXPECT_EQ(flow.places[0][0], (FlowPlace{0, 0}));
    EXPECT_EQ(flow.places[1][0], (FlowPlace{1, 0}));
    EXPECT_EQ(flow.places[2][0], (FlowPlace{2, 0}));
}

TEST(StripFlow, TheWidestGroupIsTheNarrowestStrip) {
    EXPECT_EQ(widestGroup(kGroups, 5), 205);
    EXPECT_EQ(flowStrip(kGroups, 205, 5).lines, 2);
    EXPECT_EQ(flowStrip(kGroups, 204, 5).places[0][1], (FlowPlace{0, 55}));
    EXPECT_EQ(flowStrip({}, 100, 5).lines, 0);
}

}  // namespace
}  // namespace sw::sim
