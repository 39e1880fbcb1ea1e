#pragma once
// The 16 colours the device knows, in device index order: names for the lists, RGB for the swatches.

#include <array>
#include <cstdint>

namespace sw::protocol {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct PaletteEntry {
    const char* name;  // Shift-JIS
    Rgb colour;
};

extern const std::array<PaletteEntry, 16> ColourPalette;

// The colour a list starts with, and the name looked up for a received index (low four bits).
inline constexpr int kInitialColourIndex = 0;
const PaletteEntry& paletteEntryForDeviceIndex(unsigned deviceIndex);

}  // namespace sw::protocol
