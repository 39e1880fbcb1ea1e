#include "protocol/colour_palette.h"

namespace sw::protocol {

// The text-mode order: for 1..6 bit 0 is blue, bit 1 green, bit 2 red at half intensity; 9..15 the same at full
// intensity; 7 silver and 8 grey.
const std::array<PaletteEntry, 16> ColourPalette = {{
    {"黒", {0, 0, 0}},
    {"ネイビー", {0, 0, 128}},
    {"緑", {0, 128, 0}},
    {"青緑", {0, 128, 128}},
    {"栗色", {128, 0, 0}},
    {"紫", {128, 0, 128}},
    {"オリーブ", {128, 128, 0}},
    {"銀", {192, 192, 192}},
    {"灰", {128, 128, 128}},
    {"青", {0, 0, 255}},
    {"ライム", {0, 255, 0}},
    {"水色", {0, 255, 255}},
    {"赤", {255, 0, 0}},
    {"赤紫", {255, 0, 255}},
    {"黄", {255, 255, 0}},
    {"白", {255, 255, 255}},
}};

const PaletteEntry& paletteEntryForDeviceIndex(unsigned deviceIndex) {
    return ColourPalette[deviceIndex & 0x0F];
}

}  // namespace sw::protocol
