#pragma once
// The neutral picture the simulated device shows under its OSD: seven vertical colour bars at 75 % intensity
// (grey, yellow, cyan, green, magenta, red, blue), so that a row in any palette colour at full intensity stands
// out from every bar.

#include <array>

#include "protocol/colour_palette.h"
#include "sim/osd_layout.h"

namespace sw::sim {

struct ColourBar {
    PixelRect area;  // in picture pixels
    protocol::Rgb colour;
};

inline constexpr int kColourBarCount = 7;

// The bars side by side across the whole picture; together they cover it exactly.
std::array<ColourBar, kColourBarCount> colourBars(int pictureWidth, int pictureHeight);
// The pattern's colour at one picture pixel (black outside the picture).
protocol::Rgb testPatternColour(int x, int y, int pictureWidth, int pictureHeight);

}  // namespace sw::sim
