#include "sim/monitor_paint.h"

#include <algorithm>

#include "sim/osd_layout.h"
#include "sim/picture_view.h"
#include "sim/test_pattern.h"

namespace sw::sim {
namespace {

// The device's character generator has hard-edged glyphs; a monospaced Japanese face comes closest. Under Wine
// the name is mapped to an installed font by the prefix's font substitutes.
constexpr wchar_t kOsdFace[] = L"MS Gothic";
constexpr wchar_t kCaptionFace[] = L"MS UI Gothic";
constexpr UINT kShiftJisCodePage = 932;
constexpr COLORREF kNoSignalText = RGB(160, 160, 160);

COLORREF colourRef(const protocol::Rgb& c) {
    return RGB(c.red, c.green, c.blue);
}

RECT toRect(const PixelRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

void fill(HDC dc, const PixelRect& area, COLORREF colour) {
    if (area.empty())
        return;
    win32::SolidBrush brush(colour);
    const RECT rect = toRect(area);
    FillRect(dc, &rect, brush.Get());
}

void paintNoSignal(win32::BackBuffer& buffer) {
    win32::OwnedFont font(CreateFontW(-std::max(12, buffer.height() / 12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH, kCaptionFace));
    win32::SelectedObject selected(buffer.dc(), font.get());
    SetBkMode(buffer.dc(), TRANSPARENT);
    SetTextColor(buffer.dc(), kNoSignalText);
    RECT all{0, 0, buffer.width(), buffer.height()};
    DrawTextW(buffer.dc(), L"no signal", -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// Darkens the area to half its brightness: black laid over it at half opacity.
void darkenByHalf(win32::BackBuffer& buffer, const PixelRect& area) {
    const PixelRect inside = intersect(area, PixelRect{0, 0, buffer.width(), buffer.height()});
    if (inside.empty())
        return;
    GdiFlush();
    for (int y = inside.top; y < inside.bottom; ++y) {
        std::uint32_t* row = buffer.pixels() + static_cast<std::size_t>(y) * buffer.width();
        for (int x = inside.left; x < inside.right; ++x)
            row[x] = (row[x] >> 1) & 0x007F7F7Fu;
    }
}

// The cell's character as UTF-16: a lead byte and its trail, or one single-byte character.
int cellText(const OsdCell& cell, wchar_t (&text)[2]) {
    char bytes[2];
    int length = 0;
    if (cell.first >= 0x80)
        bytes[length++] = static_cast<char>(cell.first);
    bytes[length++] = static_cast<char>(cell.second);
    return MultiByteToWideChar(kShiftJisCodePage, 0, bytes, length, text, 2);
}

void paintRowText(HDC dc, const OsdRow& row, const PictureView& view) {
    SetTextColor(dc, colourRef(row.colour));
    for (const OsdCell& cell : row.cells) {
        if (!cell.showsCharacter())
            continue;
        const PixelRect box = view.toView(cell.box);
        if (box.empty())
            continue;
        wchar_t text[2];
        const int length = cellText(cell, text);
        if (length <= 0)
            continue;
        SIZE extent{};
        GetTextExtentPoint32W(dc, text, length, &extent);
        // Centred in its cell and cut at the cell's edges, as the device's fixed character cells are.
        const RECT clip = toRect(box);
        ExtTextOutW(dc, box.left + (box.width() - extent.cx) / 2, box.top + (box.height() - extent.cy) / 2, ETO_CLIPPED,
                    &clip, text, static_cast<UINT>(length), nullptr);
    }
}

void paintOsd(win32::BackBuffer& buffer, const OsdLayout& layout, const PictureView& view) {
    if (layout.halftone) {
        for (const OsdRow& row : layout.rows)
            darkenByHalf(buffer, view.toView(row.visibleBand));
    }

    // Glyphs as high as a cell on screen; hard-edged so a row's colour is exactly its palette colour.
    const int cellHeight = view.toViewY(kCellPixels * layout.multiplier) - view.toViewY(0);
    if (cellHeight <= 0)
        return;
    win32::OwnedFont font(CreateFontW(-cellHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                      FIXED_PITCH | FF_MODERN, kOsdFace));
    HDC dc = buffer.dc();
    win32::SelectedObject selected(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    // What lies beyond the picture's edge is cut off there, as on the device's output.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, view.shown.left, view.shown.top, view.shown.right, view.shown.bottom);
    for (const OsdRow& row : layout.rows)
        paintRowText(dc, row, view);
    RestoreDC(dc, saved);
}

}  // namespace

void paintMonitorFrame(win32::BackBuffer& buffer, const MonitorFrame& frame) {
    fill(buffer.dc(), {0, 0, buffer.width(), buffer.height()}, RGB(0, 0, 0));
    const protocol::SignalFormat format = pictureFormat(frame.signal);
    if (!hasPicture(format)) {
        paintNoSignal(buffer);
        return;
    }
    const PictureView view = fitPicture(buffer.width(), buffer.height(), format.width, format.height);
    if (view.shown.empty())
        return;
    for (const ColourBar& bar : colourBars(format.width, format.height))
        fill(buffer.dc(), view.toView(bar.area), colourRef(bar.colour));
    paintOsd(buffer, layOutOsd(frame.settings, format), view);
}

}  // namespace sw::sim
