#include "tests/e2e/driver/screen_dpi.h"

namespace sw::e2e {

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kDpiValue = "LogPixels";

}  // namespace

ScreenDpiOverride::ScreenDpiOverride(DWORD dpi) {
    DWORD current = 0;
    DWORD size = sizeof(current);
    if (RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, kDpiValue, RRF_RT_REG_DWORD, nullptr, &current, &size) ==
        ERROR_SUCCESS)
        previous_ = current;
    applied_ =
        RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kDpiValue, REG_DWORD, &dpi, sizeof(dpi)) == ERROR_SUCCESS;
}

ScreenDpiOverride::~ScreenDpiOverride() {
    if (previous_) {
        const DWORD value = *previous_;
        RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kDpiValue, REG_DWORD, &value, sizeof(value));
    } else {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, kDpiValue);
    }
}

}  // namespace sw::e2e
