#pragma once
// The screen DPI that programs started from now on see. Wine reads it from the registry when a process starts,
// so a panel started while an override is in place shows at that DPI, while the driver and the panels before it
// keep the one they started with.

#include <windows.h>

#include <optional>

namespace sw::e2e {

class ScreenDpiOverride {
public:
    // Sets the DPI (96 is 100 %); `applied()` tells whether the registry took it.
    explicit ScreenDpiOverride(DWORD dpi);
    ScreenDpiOverride(const ScreenDpiOverride&) = delete;
    ScreenDpiOverride& operator=(const ScreenDpiOverride&) = delete;
    // Puts the previous setting back (or removes the value if there was none), so later scenarios see 96 again.
    ~ScreenDpiOverride();

    bool applied() const { return applied_; }

private:
    std::optional<DWORD> previous_;
    bool applied_ = false;
};

}  // namespace sw::e2e
