#pragma once
// Where the ZEL-OT40 puts things on its output picture, in picture pixels: the picture's size from the input
// signal, and the OSD block's character cells and row bands, each also clipped to the picture. Portable, so the
// monitor window paints from it and the tests hold it against the panel's range check.

#include <array>
#include <cstdint>
#include <vector>

#include "protocol/colour_palette.h"
#include "protocol/signal_format.h"
#include "sim/ot40_model.h"

namespace sw::sim {

// Right and bottom are exclusive: a rect from 0 to 16 covers 16 pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const PixelRect&) const = default;
};

// The common part; an empty rect when there is none.
PixelRect intersect(const PixelRect& a, const PixelRect& b);

// At x1 a cell is 16 pixels square and the second row starts 20 pixels below the first, so the two rows span 36
// pixels; every figure grows with the size multiplier.
inline constexpr int kCellPixels = 16;
inline constexpr int kRowPitchPixels = 20;

// The picture the device sends out: as wide and high as its input signal, resolved by the same rules as the
// panel's status text (a signal mode wins over an explicit resolution; neither leaves it unresolved).
protocol::SignalFormat pictureFormat(const InputSignal& signal);
// A picture is shown only when the format is resolved and has pixels.
bool hasPicture(const protocol::SignalFormat& format);

struct OsdCell {
    int column = 0;           // 0..15, the cell's place in its row
    std::uint8_t first = 0;   // the cell's bytes as the device holds them (Shift-JIS lead byte, or a
    std::uint8_t second = 0;  // single-byte character in `second`)
    PixelRect box;            // where the cell lies, whether or not the picture has it
    PixelRect visible;        // the part of `box` within the picture
    bool showsCharacter() const { return second != 0; }
};

struct OsdRow {
    int cellCount = 0;     // the cells up to the last one that shows something, as the panel counts them
    protocol::Rgb colour;  // the row's palette colour
    PixelRect band;        // the row's cells together; empty when the row has none
    PixelRect visibleBand;
    std::vector<OsdCell> cells;  // `cellCount` cells, blank ones included: they keep their place
};

struct OsdLayout {
    int multiplier = 1;  // size index + 1
    bool halftone = false;
    PixelRect picture;  // (0, 0) to the picture's width and height; empty without a picture
    std::array<OsdRow, 2> rows;
    // From (H, V) to the far corner of the block's farthest cell; only (H, V) when both rows are empty. The second
    // row's line belongs to the block whenever that row has cells, also with an empty first row.
    PixelRect extent;

    // Part of the block lies right of or below the picture (for an empty block: its corner does).
    bool reachesBeyondPicture() const { return extent.right > picture.right || extent.bottom > picture.bottom; }
    // Some cell is cut by the picture's edge or lies outside it.
    bool clipped() const;
};

// The panel's rule for a row's cell count, applied to the cells the device holds.
int rowCellCount(const RowCells& row);

OsdLayout layOutOsd(const Ot40Settings& settings, const protocol::SignalFormat& format);

}  // namespace sw::sim
