#pragma once
// How the monitor shows the device's picture in a view of any size: scaled to fit with its aspect kept and
// centred, the rest of the view left as black bars. Portable, so a test driver can find a picture pixel on the
// screen the same way the monitor put it there.

#include "sim/osd_layout.h"

namespace sw::sim {

struct PictureView {
    PixelRect shown;  // where the picture lies in the view; empty when there is no picture or no room
    int pictureWidth = 0;
    int pictureHeight = 0;

    // Each edge is mapped on its own, so cells that touch in the picture touch in the view as well.
    int toViewX(int x) const;
    int toViewY(int y) const;
    PixelRect toView(const PixelRect& rect) const;
    // The picture pixel shown at a view pixel inside `shown`.
    int toPictureX(int viewX) const;
    int toPictureY(int viewY) const;
};

PictureView fitPicture(int viewWidth, int viewHeight, int pictureWidth, int pictureHeight);

}  // namespace sw::sim
