#pragma once
// The pixels the screen shows of a window's client area. The panel paints its colour swatches straight onto the
// dialog, where no window message can read them back: only the screen shows whether they are there.

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

    // The pixel at client coordinates; none outside the image.
    std::optional<Rgb> at(int x, int y) const;

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
