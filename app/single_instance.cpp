#include "app/single_instance.h"

namespace sw::app {

InstanceMutex::InstanceMutex(const char* name) {
    handle_ = CreateMutexA(nullptr, TRUE, name);
    alreadyExisted_ = handle_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

void InstanceMutex::Close() {
    if (handle_ == nullptr)
        return;
    if (!alreadyExisted_)
        ReleaseMutex(handle_);
    CloseHandle(handle_);
    handle_ = nullptr;
}

HWND FindRunningCopy() {
    return FindWindowW(nullptr, kMainWindowTitle);
}

void BringToFront(HWND window) {
    if (window == nullptr)
        return;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

}  // namespace sw::app
