#include "scripts/demo/screen_image.h"

#include <cstdio>
#include <memory>

#include "sim/win_gdi.h"
#include "win32/gdi_objects.h"

namespace sw::demo {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

// From the screen rather than from the windows' own painting: the image is what a user sees.
ScreenImage ScreenImage::capture() {
    ScreenImage image;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    win32::WindowDc screen(nullptr);
    sim::BackBuffer copy(screen.Get(), width, height);
    if (screen.Get() == nullptr || !copy.ready())
        return image;
    if (!BitBlt(copy.dc(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY))
        return image;
    GdiFlush();
    image.width_ = width;
    image.height_ = height;
    image.pixels_.assign(copy.pixels(), copy.pixels() + static_cast<std::size_t>(width) * height);
    return image;
}

protocol::Rgb ScreenImage::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    const std::uint32_t p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
}

bool ScreenImage::saveBmp(const sim::PixelRect& area, const std::string& path) const {
    const sim::PixelRect part = sim::intersect(area, {0, 0, width_, height_});
    if (part.empty())
        return false;
    const int stride = (part.width() * 3 + 3) & ~3;
    std::vector<unsigned char> rows(static_cast<std::size_t>(stride) * part.height(), 0);
    for (int y = 0; y < part.height(); ++y) {
        // BMP rows run from the bottom up, each pixel blue, green, red.
        unsigned char* out = rows.data() + static_cast<std::size_t>(part.height() - 1 - y) * stride;
        for (int x = 0; x < part.width(); ++x) {
            const protocol::Rgb c = at(part.left + x, part.top + y);
            out[3 * x] = c.blue;
            out[3 * x + 1] = c.green;
            out[3 * x + 2] = c.red;
        }
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = part.width();
    header.biHeight = part.height();
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + rows.size());
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    return file != nullptr && std::fwrite(&fileHeader, sizeof fileHeader, 1, file.get()) == 1 &&
           std::fwrite(&header, sizeof header, 1, file.get()) == 1 &&
           std::fwrite(rows.data(), 1, rows.size(), file.get()) == rows.size();
}

}  // namespace sw::demo
