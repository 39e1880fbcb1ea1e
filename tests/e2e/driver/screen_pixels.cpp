#include "tests/e2e/driver/screen_pixels.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "win32/gdi_objects.h"

namespace sw::e2e {

std::string describe(const Rgb& colour) {
    return "rgb(" + std::to_string(colour.red) + ", " + std::to_string(colour.green) + ", " +
           std::to_string(colour.blue) + ")";
}

std::optional<ClientImage> ClientImage::capture(HWND window) {
    RECT client{};
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return std::nullopt;
    return captureScreen({origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
}

std::optional<ClientImage> ClientImage::captureScreen(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return std::nullopt;

    win32::WindowDc screen(nullptr);
    win32::BackBuffer image(screen.Get(), width, height);
    if (!screen.Get() || !image.ready() ||
        !BitBlt(image.dc(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY))
        return std::nullopt;
    GdiFlush();
    std::vector<std::uint32_t> pixels(
        image.pixels(), image.pixels() + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    return ClientImage(width, height, std::move(pixels));
}

bool ClientImage::saveBmp(const std::string& path) const {
    // BMP rows run from the bottom up, each pixel blue, green, red, each row padded to four bytes.
    const std::size_t stride = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t{3};
    std::vector<unsigned char> rows(stride * static_cast<std::size_t>(height_), 0);
    for (int y = 0; y < height_; ++y) {
        unsigned char* out = rows.data() + static_cast<std::size_t>(height_ - 1 - y) * stride;
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t pixel =
                pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
            out[3 * x] = static_cast<unsigned char>(pixel & 0xFF);
            out[3 * x + 1] = static_cast<unsigned char>((pixel >> 8) & 0xFF);
            out[3 * x + 2] = static_cast<unsigned char>((pixel >> 16) & 0xFF);
        }
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width_;
    header.biHeight = height_;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + rows.size());
    const auto closeFile = [](std::FILE* file) { std::fclose(file); };
    std::unique_ptr<std::FILE, decltype(closeFile)> file(std::fopen(path.c_str(), "wb"), closeFile);
    return file != nullptr && std::fwrite(&fileHeader, sizeof fileHeader, 1, file.get()) == 1 &&
           std::fwrite(&header, sizeof header, 1, file.get()) == 1 &&
           std::fwrite(rows.data(), 1, rows.size(), file.get()) == rows.size();
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
