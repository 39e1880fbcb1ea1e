#pragma once
// One copy per logon: a named mutex owned for the life of the first copy; a second copy raises the first one's
// window instead of starting.

#include <windows.h>

namespace sw::app {

inline constexpr char kInstanceMutexName[] = "Stampwright starting prevention";
// The main dialog's caption: the second copy finds the first copy's window by it.
inline constexpr wchar_t kMainWindowTitle[] = L"Stampwright";

class InstanceMutex {
public:
    // Creates the mutex with initial ownership. When it cannot be created at all, the program runs unprotected.
    explicit InstanceMutex(const char* name);
    ~InstanceMutex() { Close(); }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    // Whether another copy created the mutex first (this copy then does not own it).
    bool AlreadyExisted() const { return alreadyExisted_; }
    // Releases ownership if held and closes the handle; harmless when already closed.
    void Close();

private:
    HANDLE handle_ = nullptr;
    bool alreadyExisted_ = false;
};

// The running copy's main window, found by its title whatever its class; nullptr while that copy is still starting
// or just ending.
HWND FindRunningCopy();
// Restores the window if it is minimised and brings it to the front, minimised or not; nothing without a window.
void BringToFront(HWND window);

}  // namespace sw::app
