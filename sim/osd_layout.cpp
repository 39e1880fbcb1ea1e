#include "sim/osd_layout.h"

#include <algorithm>
#include <array>

#include "protocol/colour_palette.h"
#include "protocol/command_codes.h"
#include "protocol/reply_decoder.h"
#include "protocol/text_cells.h"

namespace sw::sim {

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
    const PixelRect common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                           std::min(a.bottom, b.bottom)};
    return common.empty() ? PixelRect{} : common;
}

protocol::SignalFormat pictureFormat(const InputSignal& signal) {
    // The signal as the status reply carries it, so the device's picture and the panel's text cannot disagree.
    protocol::StatusReply status;
    status.osdPattern = signal.osdPattern;
    status.signalMode = signal.signalMode & 0x07;
    status.explicitResolution = signal.explicitResolution;
    status.explicitWidth = signal.width & 0x0FFF;
    status.explicitHeight = signal.height & 0x0FFF;
    status.explicitInterlaced = signal.interlaced;
    return protocol::resolveSignalFormat(status);
}

bool hasPicture(const protocol::SignalFormat& format) {
    return format.resolved && format.width > 0 && format.height > 0;
}

bool OsdLayout::clipped() const {
    return std::ranges::any_of(rows, [](const OsdRow& row) {
        return std::ranges::any_of(row.cells, [](const OsdCell& cell) { return cell.visible != cell.box; });
    });
}

int rowCellCount(const RowCells& row) {
    // The row as a row reply carries it: code byte and report ID in front of the cells.
    std::array<std::uint8_t, protocol::kRowReplyLength> reply{};
    std::ranges::copy(row, reply.begin() + 2);
    return protocol::countRowCells(reply);
}

namespace {

OsdRow layOutRow(const RowCells& cells,
                 std::uint8_t colourIndex,
                 int left,
                 int top,
                 int multiplier,
                 const PixelRect& picture) {
    OsdRow row;
    row.cellCount = rowCellCount(cells);
    row.colour = protocol::paletteEntryForDeviceIndex(colourIndex).colour;
    const int side = kCellPixels * multiplier;
    for (int column = 0; column < row.cellCount; ++column) {
        OsdCell cell;
        cell.column = column;
        cell.first = cells[2 * column];
        cell.second = cells[2 * column + 1];
        cell.box = {left + side * column, top, left + side * (column + 1), top + side};
        cell.visible = intersect(cell.box, picture);
        row.cells.push_back(cell);
    }
    if (row.cellCount > 0) {
        row.band = {left, top, row.cells.back().box.right, top + side};
        row.visibleBand = intersect(row.band, picture);
    }
    return row;
}

}  // namespace

OsdLayout layOutOsd(const Ot40Settings& settings, const protocol::SignalFormat& format) {
    OsdLayout layout;
    layout.multiplier = (settings.sizeIndex & 0x03) + 1;
    layout.halftone = settings.halftone;
    if (hasPicture(format))
        layout.picture = {0, 0, format.width, format.height};

    const int left = settings.hPosition;
    const int top = settings.vPosition;
    layout.rows[0] = layOutRow(settings.row1, settings.colour1, left, top, layout.multiplier, layout.picture);
    layout.rows[1] = layOutRow(settings.row2, settings.colour2, left, top + kRowPitchPixels * layout.multiplier,
                               layout.multiplier, layout.picture);

    layout.extent = {left, top, left, top};
    for (const OsdRow& row : layout.rows) {
        if (row.cellCount == 0)
            continue;
        layout.extent.right = std::max(layout.extent.right, row.band.right);
        layout.extent.bottom = std::max(layout.extent.bottom, row.band.bottom);
    }
    return layout;
}

}  // namespace sw::sim
