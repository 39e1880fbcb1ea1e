#include "tests/e2e/driver/screen_pixels.h"

#include <utility>

namespace sw::e2e {

namespace {

class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_)
            DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class Bitmap {
public:
    Bitmap(HDC like, int width, int height) : bitmap_(CreateCompatibleBitmap(like, width, height)) {}
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap() {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    HBITMAP get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

}  // namespace

std::string describe(const Rgb& colour) {
    return "rgb(" + std::to_string(colour.red) + ", " + std::to_string(colour.green) + ", " +
           std::to_string(colour.blue) + ")";
}

std::optional<ClientImage> ClientImage::capture(HWND window) {
    RECT client{};
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return std::nullopt;
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0)
        return std::nullopt;

    ScreenDc screen;
    MemoryDc memory(screen.get());
    Bitmap image(screen.get(), width, height);
    if (!screen.get() || !memory.get() || !image.get())
        return std::nullopt;
    const HGDIOBJ previous = SelectObject(memory.get(), image.get());
    const bool copied = BitBlt(memory.get(), 0, 0, width, height, screen.get(), origin.x, origin.y, SRCCOPY) != FALSE;
    SelectObject(memory.get(), previous);
    if (!copied)
        return std::nullopt;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;  // top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (GetDIBits(memory.get(), image.get(), 0, static_cast<UINT>(height), pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != height)
        return std::nullopt;
    return ClientImage(width, height, std::move(pixels));
}

std::optional<Rgb> ClientImage::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return std::nullopt;
    const std::uint32_t pixel =
        pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    return Rgb{static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
               static_cast<int>(pixel & 0xFF)};
}

RECT rectInParentClient(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace sw::e2e
