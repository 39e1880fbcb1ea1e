#include "sim/picture_view.h"

#include <cstdint>

namespace sw::sim {
namespace {

// Products of two sizes up to 4095 and a view size can pass the int range on a large screen.
int scale(int value, int to, int from) {
    return static_cast<int>(static_cast<std::int64_t>(value) * to / from);
}

}  // namespace

PictureView fitPicture(int viewWidth, int viewHeight, int pictureWidth, int pictureHeight) {
    PictureView view;
    view.pictureWidth = pictureWidth;
    view.pictureHeight = pictureHeight;
    if (viewWidth <= 0 || viewHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return view;
    int width = viewWidth;
    int height = scale(viewWidth, pictureHeight, pictureWidth);
    if (height > viewHeight) {
        // Taller than the view at full width: the height decides, with bars left and right.
        height = viewHeight;
        width = scale(viewHeight, pictureWidth, pictureHeight);
    }
    const int left = (viewWidth - width) / 2;
    const int top = (viewHeight - height) / 2;
    view.shown = {left, top, left + width, top + height};
    return view;
}

int PictureView::toViewX(int x) const {
    return pictureWidth > 0 ? shown.left + scale(x, shown.width(), pictureWidth) : shown.left;
}

int PictureView::toViewY(int y) const {
    return pictureHeight > 0 ? shown.top + scale(y, shown.height(), pictureHeight) : shown.top;
}

PixelRect PictureView::toView(const PixelRect& rect) const {
    return {toViewX(rect.left), toViewY(rect.top), toViewX(rect.right), toViewY(rect.bottom)};
}

int PictureView::toPictureX(int viewX) const {
    return shown.width() > 0 ? scale(viewX - shown.left, pictureWidth, shown.width()) : 0;
}

int PictureView::toPictureY(int viewY) const {
    return shown.height() > 0 ? scale(viewY - shown.top, pictureHeight, shown.height()) : 0;
}

}  // namespace sw::sim
