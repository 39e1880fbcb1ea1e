// A named mutex in the Global namespace, named after the box's interface path, so that programs of every
// session on the machine take part; the system lets go of it when its holder ends (the next taker sees it
// abandoned, which is still a lock taken).

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "device/box_lock.h"

namespace sw::device {

namespace {

// Object names take no backslash after the namespace, and paths differ only in case between calls.
std::string mutexName(const std::string& boxPath) {
    std::string name = "Global\\Stampwright box ";
    std::string path;
    for (const char c : boxPath)
        path += c == '\\' ? '/' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (name.size() + path.size() < MAX_PATH)
        return name + path;
    // Too long for a name: a hash of it (FNV-1a) names the box as well.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : path)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return name + text;
}

std::string failureText(const char* call, DWORD error) {
    return std::string(call) + " failed (error " + std::to_string(error) + ")";
}

}  // namespace

BoxLock BoxLock::acquire(const std::string& boxPath, std::uint32_t waitMs) {
    const std::string name = mutexName(boxPath);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    // Made by another user: it can still be waited for.
    if (mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED)
        mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str());
    if (mutex == nullptr)
        return failedWith(failureText("CreateMutexA", GetLastError()));
    switch (WaitForSingleObject(mutex, std::min<DWORD>(waitMs, INFINITE - 1))) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED:
            return takenWith([mutex] {
                ReleaseMutex(mutex);
                CloseHandle(mutex);
            });
        case WAIT_TIMEOUT:
            CloseHandle(mutex);
            return busyWith({});  // a mutex does not tell who holds it
        default: {
            const DWORD error = GetLastError();
            CloseHandle(mutex);
            return failedWith(failureText("WaitForSingleObject", error));
        }
    }
}

}  // namespace sw::device
