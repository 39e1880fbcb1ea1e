// flock() on the hidraw node: every program that opens the node on its own takes part, whatever user it runs as,
// and the kernel lets go of the lock when the holder's descriptor closes (also when it dies).

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "device/box_lock.h"

namespace sw::device {

namespace {

constexpr std::uint64_t kRetryIntervalMs = 20;

// Milliseconds on the monotonic clock (<chrono> cannot be built with this tree's code page 932 literals).
std::uint64_t nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000 + static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
}

// The program whose flock() lock is on the file that `fd` names, from /proc/locks ("1: FLOCK ADVISORY WRITE
// <pid> <major>:<minor>:<inode> 0 EOF", the device numbers in hex); empty when it cannot be told.
std::string holderOf(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return {};
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, id;
        long pid = 0;
        if (!(fields >> number >> kind >> mode >> access >> pid >> id) || kind != "FLOCK")
            continue;  // waiters ("->") and other kinds of lock
        unsigned devMajor = 0, devMinor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(id.c_str(), "%x:%x:%llu", &devMajor, &devMinor, &inode) != 3 || inode != info.st_ino ||
            devMajor != major(info.st_dev) || devMinor != minor(info.st_dev))
            continue;
        std::string name;
        std::ifstream(std::string("/proc/") + std::to_string(pid) + "/comm") >> name;
        return (name.empty() ? std::string("a program") : name) + " (process " + std::to_string(pid) + ")";
    }
    return {};
}

}  // namespace

BoxLock BoxLock::acquire(const std::string& boxPath, std::uint32_t waitMs) {
    // Opened without blocking, read-only: the node is only a name for the lock here.
    const int fd = open(boxPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failedWith(std::strerror(errno));
    const std::uint64_t deadline = nowMs() + waitMs;
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return takenWith([fd] { close(fd); });  // closing the only descriptor lets go of the lock
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK) {
            close(fd);
            return failedWith(std::strerror(error));
        }
        const std::uint64_t now = nowMs();
        if (now >= deadline) {
            std::string holder = holderOf(fd);
            close(fd);
            return busyWith(std::move(holder));
        }
        // flock() has no time limit of its own: it is tried again until the deadline.
        poll(nullptr, 0, static_cast<int>(std::min(kRetryIntervalMs, deadline - now)));
    }
}

}  // namespace sw::device
