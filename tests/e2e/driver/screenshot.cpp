#include "tests/e2e/driver/screenshot.h"

#include "tests/e2e/driver/screen_pixels.h"

namespace sw::e2e {

bool saveScreenArea(const RECT& area, const std::string& bmpPath) {
    const auto image = ClientImage::captureScreen(area);
    return image && image->saveBmp(bmpPath);
}

bool saveWindowImage(HWND window, const std::string& bmpPath) {
    RECT frame{};
    return GetWindowRect(window, &frame) && saveScreenArea(frame, bmpPath);
}

bool saveScreenImage(const std::string& bmpPath) {
    return saveScreenArea({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, bmpPath);
}

}  // namespace sw::e2e
