#pragma once
// The colour swatches the panel paints left of its two row edits, as the screen shows them.

#include "tests/e2e/driver/remote_dialog.h"
#include "tests/e2e/driver/screen_pixels.h"

namespace sw::e2e {

// The swatch colour of each palette index.
Rgb paletteColour(int index);

// The swatch's gaps to its row edit in screen pixels: 7, 22 and 2 at 96 DPI.
struct SwatchGaps {
    int nearGap = 7;
    int farGap = 22;
    int inset = 2;
};

// Checks that the swatch beside row edit `rowEdit` shows `colour` in `after`: a rectangle from x = L-22 to L-7 and
// y = T+2 to B-2 of the edit's rectangle (right and bottom edges excluded, as drawn), filled with the colour inside
// a one-pixel black outline, with nothing around it changed since `before`. `gaps` gives other numbers than
// 7, 22 and 2, as a screen of another DPI has them.
void checkSwatch(const RemoteDialog& dialog,
                 int rowEdit,
                 Rgb colour,
                 const ClientImage& before,
                 const ClientImage& after,
                 const SwatchGaps& gaps = {});

}  // namespace sw::e2e
