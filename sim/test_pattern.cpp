#include "sim/test_pattern.h"

namespace sw::sim {
namespace {

constexpr std::uint8_t kBarLevel = 191;  // 75 % of full intensity

constexpr std::array<protocol::Rgb, kColourBarCount> kBarColours = {{
    {kBarLevel, kBarLevel, kBarLevel},
    {kBarLevel, kBarLevel, 0},
    {0, kBarLevel, kBarLevel},
    {0, kBarLevel, 0},
    {kBarLevel, 0, kBarLevel},
    {kBarLevel, 0, 0},
    {0, 0, kBarLevel},
}};

}  // namespace

std::array<ColourBar, kColourBarCount> colourBars(int pictureWidth, int pictureHeight) {
    std::array<ColourBar, kColourBarCount> bars;
    for (int i = 0; i < kColourBarCount; ++i) {
        bars[i].area = {pictureWidth * i / kColourBarCount, 0, pictureWidth * (i + 1) / kColourBarCount, pictureHeight};
        bars[i].colour = kBarColours[i];
    }
    return bars;
}

protocol::Rgb testPatternColour(int x, int y, int pictureWidth, int pictureHeight) {
    for (const ColourBar& bar : colourBars(pictureWidth, pictureHeight)) {
        if (bar.area.contains(x, y))
            return bar.colour;
    }
    return {};
}

}  // namespace sw::sim
