#include "tests/e2e/driver/screenshot.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace sw::e2e {

namespace {

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() {
        if (dc)
            ReleaseDC(nullptr, dc);
    }
};

struct MemoryDc {
    HDC dc;
    explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc)
            DeleteDC(dc);
    }
};

struct Bitmap {
    HBITMAP bitmap;
    Bitmap(HDC like, int width, int height) : bitmap(CreateCompatibleBitmap(like, width, height)) {}
    ~Bitmap() {
        if (bitmap)
            DeleteObject(bitmap);
    }
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Copies from the screen rather than asking a window to paint itself: the image shows what a user sees.
bool saveScreenArea(const RECT& frame, const std::string& bmpPath) {
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0)
        return false;

    ScreenDc screen;
    MemoryDc memory(screen.dc);
    Bitmap image(screen.dc, width, height);
    if (!screen.dc || !memory.dc || !image.bitmap)
        return false;
    const HGDIOBJ previous = SelectObject(memory.dc, image.bitmap);
    const bool copied = BitBlt(memory.dc, 0, 0, width, height, screen.dc, frame.left, frame.top, SRCCOPY) != FALSE;
    SelectObject(memory.dc, previous);
    if (!copied)
        return false;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up rows, as BMP files store them
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    if (GetDIBits(memory.dc, image.bitmap, 0, static_cast<UINT>(height), pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != height)
        return false;

    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + pixels.size());
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(bmpPath.c_str(), "wb"));
    if (!file)
        return false;
    return std::fwrite(&fileHeader, sizeof fileHeader, 1, file.get()) == 1 &&
           std::fwrite(&header, sizeof header, 1, file.get()) == 1 &&
           std::fwrite(pixels.data(), 1, pixels.size(), file.get()) == pixels.size();
}

}  // namespace

bool saveWindowImage(HWND window, const std::string& bmpPath) {
    RECT frame{};
    return GetWindowRect(window, &frame) && saveScreenArea(frame, bmpPath);
}

bool saveScreenImage(const std::string& bmpPath) {
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return saveScreenArea(screen, bmpPath);
}

}  // namespace sw::e2e
