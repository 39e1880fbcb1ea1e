#pragma once
// The monitor's control strip flows like text: groups of controls (a label with its control, a check box) are
// placed left to right and a group that would pass the strip's width starts a new line, so the strip fits a
// narrow window beside the panel as well as a wide one. Portable, so the placement is tested without a window.

#include <vector>

namespace sw::sim {

struct FlowPlace {
    int line = 0;  // 0 for the first line
    int x = 0;     // from the strip's left edge
    bool operator==(const FlowPlace&) const = default;
};

struct Flow {
    std::vector<std::vector<FlowPlace>> places;  // per group, per control
    int lines = 0;
};

// `groups` holds each group's control widths; `gap` is the space between controls and between groups. A group
// wider than the strip takes a line of its own.
Flow flowStrip(const std::vector<std::vector<int>>& groups, int stripWidth, int gap);

// The narrowest strip that keeps every group on one line.
int widestGroup(const std::vector<std::vector<int>>& groups, int gap);

}  // namespace sw::sim
