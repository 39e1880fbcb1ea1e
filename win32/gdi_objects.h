#pragma once
// Owners for GDI objects: those of one drawing step, each released in the step that made it; the window icons,
// which live as long as the dialog that shows them; fonts, bitmaps and an off-screen frame buffer.

#include <windows.h>

#include <cstdint>

namespace sw::win32 {

// A device context for the window's client area.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class SolidBrush {
public:
    explicit SolidBrush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
    ~SolidBrush() {
        if (brush_ != nullptr)
            DeleteObject(brush_);
    }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;

    HBRUSH Get() const { return brush_; }

private:
    HBRUSH brush_;
};

// Selects an object into a context and puts the previous one back, so the object can be deleted afterwards.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An icon loaded at a given size (LoadImage without LR_SHARED, so it is ours to destroy).
class OwnedIcon {
public:
    OwnedIcon() = default;
    ~OwnedIcon() { Reset(nullptr); }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;

    void Reset(HICON icon) {
        if (icon_ != nullptr)
            DestroyIcon(icon_);
        icon_ = icon;
    }
    HICON Get() const { return icon_; }

private:
    HICON icon_ = nullptr;
};

// A font or bitmap, deleted with its owner.
template <typename Handle>
class OwnedGdiObject {
public:
    OwnedGdiObject() = default;
    explicit OwnedGdiObject(Handle handle) : handle_(handle) {}
    ~OwnedGdiObject() { reset(); }
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;

    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr)
            DeleteObject(handle_);
        handle_ = handle;
    }
    Handle get() const { return handle_; }

private:
    Handle handle_ = nullptr;
};

using OwnedFont = OwnedGdiObject<HFONT>;
using OwnedBitmap = OwnedGdiObject<HBITMAP>;

// BeginPaint and EndPaint around one WM_PAINT: the background is erased (WM_ERASEBKGND) and the update region
// validated.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// A 32-bit top-down bitmap with its own memory context, so a whole frame is drawn off screen and shown with
// one copy (no flicker), and its pixels can be blended directly.
class BackBuffer {
public:
    BackBuffer(HDC like, int width, int height);
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    bool ready() const { return dc_ != nullptr && pixels_ != nullptr; }
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // 0x00RRGGBB per pixel, row after row from the top; call GdiFlush() before touching it after GDI drawing.
    std::uint32_t* pixels() const { return pixels_; }

private:
    HDC dc_ = nullptr;
    OwnedBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

inline BackBuffer::BackBuffer(HDC like, int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap_.get() == nullptr)
        return;
    dc_ = CreateCompatibleDC(like);
    if (dc_ == nullptr)
        return;
    previous_ = SelectObject(dc_, bitmap_.get());
    pixels_ = static_cast<std::uint32_t*>(bits);
}

inline BackBuffer::~BackBuffer() {
    if (dc_ != nullptr) {
        if (previous_ != nullptr)
            SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
}

}  // namespace sw::win32
