#pragma once
// Where a window goes when it is centred within an area, along one axis.

namespace sw::app {

// The window's new start: centred on the area, moved back inside when it would pass the far edge, and at the
// area's start when it is bigger than the area, so that its caption stays reachable.
constexpr int CentredStart(int areaStart, int areaEnd, int windowExtent) {
    int start = (areaStart + areaEnd) / 2 - windowExtent / 2;
    if (start < areaStart)
        start = areaStart;
    else if (start + windowExtent > areaEnd)
        start = areaEnd - windowExtent;
    return start;
}

}  // namespace sw::app
