#include "tests/e2e/demo/monitor_check.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "sim/picture_view.h"
#include "sim/test_pattern.h"

namespace sw::demo {
namespace {

// The screen is 24-bit and the glyphs hard-edged, so colours arrive nearly exact.
constexpr int kTolerance = 6;
// Samples of the pattern keep this far from the block, in screen pixels.
constexpr int kBlockMargin = 3;
constexpr int kSampleStep = 7;
constexpr int kRingWidth = 30;
constexpr int kMinimumSamples = 100;

bool closeTo(const protocol::Rgb& a, const protocol::Rgb& b) {
    return std::abs(a.red - b.red) <= kTolerance && std::abs(a.green - b.green) <= kTolerance &&
           std::abs(a.blue - b.blue) <= kTolerance;
}

std::string describe(const protocol::Rgb& c) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d,%d,%d)", c.red, c.green, c.blue);
    return text;
}

// Black outside the screen.
protocol::Rgb pixelAt(const e2e::ClientImage& screen, int x, int y) {
    const auto seen = screen.at(x, y);
    if (!seen)
        return {};
    return {static_cast<std::uint8_t>(seen->red), static_cast<std::uint8_t>(seen->green),
            static_cast<std::uint8_t>(seen->blue)};
}

sim::PixelRect shifted(const sim::PixelRect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The pattern's colour at a screen pixel, taken from the bars as the monitor fills them on the screen.
std::optional<protocol::Rgb> patternAt(const sim::PictureView& view,
                                       const protocol::SignalFormat& format,
                                       int originX,
                                       int originY,
                                       int x,
                                       int y) {
    for (const sim::ColourBar& bar : sim::colourBars(format.width, format.height)) {
        if (shifted(view.toView(bar.area), originX, originY).contains(x, y))
            return bar.colour;
    }
    return std::nullopt;
}

}  // namespace

MonitorCheck checkMonitorPicture(const e2e::ClientImage& screen,
                                 const sim::PixelRect& area,
                                 const protocol::SignalFormat& format,
                                 const sim::Ot40Settings& settings) {
    MonitorCheck check;
    const sim::PictureView view = sim::fitPicture(area.width(), area.height(), format.width, format.height);
    if (view.shown.empty()) {
        check.failures.push_back("the monitor shows no picture");
        return check;
    }
    const sim::OsdLayout layout = sim::layOutOsd(settings, format);
    const sim::OsdRow& row = layout.rows[0];
    if (row.cells.empty()) {
        check.failures.push_back("the expected first row has no cells");
        return check;
    }

    // Each cell of the first row: glyph pixels in the row's colour, the rest the pattern under it.
    for (const sim::OsdCell& cell : row.cells) {
        const sim::PixelRect box = shifted(view.toView(cell.box), area.left, area.top);
        int inColour = 0;
        int other = 0;
        std::string firstOther;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                const protocol::Rgb seen = pixelAt(screen, x, y);
                const auto pattern = patternAt(view, format, area.left, area.top, x, y);
                if (closeTo(seen, row.colour)) {
                    ++inColour;
                } else if (!pattern || !closeTo(seen, *pattern)) {
                    if (other++ == 0)
                        firstOther = describe(seen) + " at " + std::to_string(x) + "," + std::to_string(y);
                }
            }
        }
        const int pixels = box.width() * box.height();
        const std::string name = "cell " + std::to_string(cell.column + 1) + " of row 1";
        check.findings.push_back(name + " at screen " + std::to_string(box.left) + "," + std::to_string(box.top) +
                                 " size " + std::to_string(box.width()) + "x" + std::to_string(box.height()) + ": " +
                                 std::to_string(inColour) + " pixels in " + describe(row.colour) + ", " +
                                 std::to_string(other) + " neither that nor the pattern");
        // A character's strokes cover far more than a twentieth of its cell.
        if (pixels == 0 || inColour * 20 < pixels)
            check.failures.push_back(name + ": too few pixels in the row's colour");
        if (other > 0)
            check.failures.push_back(name + ": foreign pixels, first " + firstOther);
    }

    // The picture outside the block: the pattern, on a grid.
    const sim::PixelRect block = shifted(view.toView(layout.extent), area.left, area.top);
    const sim::PixelRect keepOff{block.left - kBlockMargin, block.top - kBlockMargin, block.right + kBlockMargin,
                                 block.bottom + kBlockMargin};
    const sim::PixelRect picture = shifted(view.shown, area.left, area.top);
    int samples = 0;
    int wrong = 0;
    std::string firstWrong;
    auto sample = [&](int x, int y) {
        if (keepOff.contains(x, y) || !picture.contains(x, y))
            return;
        // Off the bars' borders, where a pixel's bar depends on rounding.
        const auto pattern = patternAt(view, format, area.left, area.top, x, y);
        if (!pattern || patternAt(view, format, area.left, area.top, x - 2, y) != pattern ||
            patternAt(view, format, area.left, area.top, x + 2, y) != pattern)
            return;
        ++samples;
        const protocol::Rgb seen = pixelAt(screen, x, y);
        if (!closeTo(seen, *pattern) && wrong++ == 0)
            firstWrong = describe(seen) + " instead of " + describe(*pattern) + " at " + std::to_string(x) + "," +
                         std::to_string(y);
    };
    // A coarse grid over the whole picture, and every pixel of a ring around the block, where a character drawn
    // a little off its place would land.
    for (int y = picture.top + 1; y < picture.bottom - 1; y += kSampleStep) {
        for (int x = picture.left + 1; x < picture.right - 1; x += kSampleStep)
            sample(x, y);
    }
    for (int y = block.top - kRingWidth; y < block.bottom + kRingWidth; ++y) {
        for (int x = block.left - kRingWidth; x < block.right + kRingWidth; ++x)
            sample(x, y);
    }
    check.findings.push_back("outside the block: " + std::to_string(samples) + " samples, " + std::to_string(wrong) +
                             " not the test pattern");
    if (samples < kMinimumSamples)
        check.failures.push_back("too few pattern samples outside the block");
    if (wrong > 0)
        check.failures.push_back("the picture outside the block is not the test pattern, first " + firstWrong);
    return check;
}

}  // namespace sw::demo
