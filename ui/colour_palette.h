#pragma once
// The 16 colours the device knows, in device index order: names for the lists, RGB for the swatches.

#include <array>

#include "ui/dialog_view.h"

namespace sw::ui {

struct PaletteEntry {
    const char* name;  // Shift-JIS
    Rgb colour;
};

extern const std::array<PaletteEntry, 16> ColourPalette;

// The colour a list starts with, and the name looked up for a received index (low four bits).
inline constexpr int kInitialColourIndex = 0;
const PaletteEntry& paletteEntryForDeviceIndex(unsigned deviceIndex);

}  // namespace sw::ui
