#pragma once
// A copy of what the screen shows, with its pixels at hand, and a BMP file of a part of it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "panel/dialog_view.h"
#include "sim/osd_layout.h"

namespace sw::demo {

class ScreenImage {
public:
    // Copies the whole screen; empty() when that failed.
    static ScreenImage capture();

    bool empty() const { return pixels_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Black outside the image.
    protocol::Rgb at(int x, int y) const;
    // Writes the part of the image within `area` (screen pixels) as a 24-bit BMP file.
    bool saveBmp(const sim::PixelRect& area, const std::string& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, rows from the top
};

}  // namespace sw::demo
