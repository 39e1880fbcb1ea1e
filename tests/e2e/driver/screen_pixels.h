#pragma once
// The pixels the screen shows of a window's client area, or of any part of the screen. The panel paints its colour
// swatches straight onto the dialog, where no window message can read them back: only the screen shows whether
// they are there. Copied from the screen rather than asked of the windows: the image is what a user sees.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sw::e2e {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};
std::string describe(const Rgb& colour);

class ClientImage {
public:
    // Copies the window's client area from the screen as it is now.
    static std::optional<ClientImage> capture(HWND window);
    // Copies a part of the screen (screen coordinates).
    static std::optional<ClientImage> captureScreen(const RECT& area);

    // The pixel at coordinates relative to the captured area; none outside the image.
    std::optional<Rgb> at(int x, int y) const;
    // Writes the image as a 24-bit BMP file.
    bool saveBmp(const std::string& path) const;

private:
    ClientImage(int width, int height, std::vector<std::uint32_t> pixels)
        : width_(width), height_(height), pixels_(std::move(pixels)) {}

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;  // top-down rows of 0x00RRGGBB
};

// A child window's rectangle in its parent's client coordinates.
RECT rectInParentClient(HWND parent, HWND child);

}  // namespace sw::e2e
