#include "tests/e2e/driver/swatches.h"

#include <optional>

#include "tests/e2e/driver/check.h"

namespace sw::e2e {

// Listed here rather than taken from the panel's code, so that a wrong entry there shows up as a failure.
Rgb paletteColour(int index) {
    constexpr Rgb kPalette[16] = {
        {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0}, {128, 0, 128},
        {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},     {0, 255, 0}, {0, 255, 255},
        {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
    };
    return kPalette[index & 0x0F];
}

void checkSwatch(const RemoteDialog& dialog,
                 int rowEdit,
                 Rgb colour,
                 const ClientImage& before,
                 const ClientImage& after,
                 const SwatchGaps& gaps) {
    const RECT edit = rectInParentClient(dialog.window(), dialog.item(rowEdit));
    const int left = edit.left - gaps.farGap;
    const int right = edit.left - gaps.nearGap - 1;
    const int top = edit.top + gaps.inset;
    const int bottom = edit.bottom - gaps.inset - 1;
    const int middleX = (left + right) / 2;
    const int middleY = (top + bottom) / 2;
    const std::optional<Rgb> black = Rgb{0, 0, 0};
    const std::optional<Rgb> fill = colour;

    CHECK_EQ(after.at(middleX, middleY), fill);
    CHECK_EQ(after.at(left + 1, top + 1), fill);
    CHECK_EQ(after.at(right - 1, bottom - 1), fill);
    // The outline is the default pen of the dialog's device context: one pixel, black.
    CHECK_EQ(after.at(left, middleY), black);
    CHECK_EQ(after.at(right, middleY), black);
    CHECK_EQ(after.at(middleX, top), black);
    CHECK_EQ(after.at(middleX, bottom), black);
    // Nothing next to the swatch was painted.
    CHECK_EQ(after.at(left - 1, middleY), before.at(left - 1, middleY));
    CHECK_EQ(after.at(right + 1, middleY), before.at(right + 1, middleY));
    CHECK_EQ(after.at(middleX, top - 1), before.at(middleX, top - 1));
    CHECK_EQ(after.at(middleX, bottom + 1), before.at(middleX, bottom + 1));
}

}  // namespace sw::e2e
