#include "app/window_dpi.h"

#include "panel/swatch_geometry.h"
#include "win32/gdi_objects.h"

namespace sw::app {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up once: the exe must start on systems older than the function.
GetDpiForWindowFunction LookUpGetDpiForWindow() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return nullptr;
    // Through void*: a FARPROC converts to another function type only by way of an object pointer without a
    // cast-function-type warning.
    return reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

}  // namespace

int WindowDpi(HWND window) {
    static const GetDpiForWindowFunction getDpiForWindow = LookUpGetDpiForWindow();
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0)
            return static_cast<int>(dpi);
    }
    win32::WindowDc dc(window);
    const int dpi = dc.Get() != nullptr ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : panel::kDefaultDpi;
}

}  // namespace sw::app
