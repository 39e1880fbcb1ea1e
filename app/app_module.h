#pragma once
// The application module: the instance handle and, per thread, the message loop that runs there.

#include <windows.h>

#include <map>

#include "app/message_loop.h"

namespace sw::app {

// Used from the user-interface thread only, so the registry takes no lock.
class CAppModule {
public:
    void Init(HINSTANCE instance) { instance_ = instance; }
    void Term();

    HINSTANCE Instance() const { return instance_; }

    // Registers `loop` as the calling thread's loop; false when the thread has one already.
    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    // The calling thread's loop, or nullptr.
    CMessageLoop* GetMessageLoop() const;

private:
    HINSTANCE instance_ = nullptr;
    std::map<DWORD, CMessageLoop*> loops_;
};

// Keeps a loop registered for the calling thread while it is in scope.
class ScopedMessageLoop {
public:
    ScopedMessageLoop(CAppModule& module, CMessageLoop& loop) : module_(module) {
        registered_ = module_.AddMessageLoop(&loop);
    }
    ~ScopedMessageLoop() {
        if (registered_)
            module_.RemoveMessageLoop();
    }
    ScopedMessageLoop(const ScopedMessageLoop&) = delete;
    ScopedMessageLoop& operator=(const ScopedMessageLoop&) = delete;

private:
    CAppModule& module_;
    bool registered_ = false;
};

}  // namespace sw::app
