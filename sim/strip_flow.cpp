#include "sim/strip_flow.h"

#include <algorithm>

namespace sw::sim {
namespace {

int groupWidth(const std::vector<int>& widths, int gap) {
    int width = 0;
    for (int w : widths)
        width += w + gap;
    return widths.empty() ? 0 : width - gap;
}

}  // namespace

Flow flowStrip(const std::vector<std::vector<int>>& groups, int stripWidth, int gap) {
    Flow flow;
    int line = 0;
    int x = 0;
    for (const std::vector<int>& group : groups) {
        const int width = groupWidth(group, gap);
        if (x > 0 && x + width > stripWidth) {
            ++line;
            x = 0;
        }
        std::vector<FlowPlace> places;
        for (int w : group) {
            places.push_back({line, x});
            x += w + gap;
        }
        flow.places.push_back(std::move(places));
    }
    flow.lines = groups.empty() ? 0 : line + 1;
    return flow;
}

int widestGroup(const std::vector<std::vector<int>>& groups, int gap) {
    int widest = 0;
    for (const std::vector<int>& group : groups)
        widest = std::max(widest, groupWidth(group, gap));
    return widest;
}

}  // namespace sw::sim
