#pragma once
// Owners for the GDI objects of one drawing step, each released in the step that made it, and for the window
// icons, which live as long as the dialog that shows them.

#include <windows.h>

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

// One WM_PAINT's BeginPaint/EndPaint: the background is erased (WM_ERASEBKGND) and the update region validated.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
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

}  // namespace sw::win32
