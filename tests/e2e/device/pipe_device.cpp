#include "tests/e2e/device/pipe_device.h"

#include <cstdio>

namespace sw::wine_test {
namespace {

constexpr DWORD kMaxReport = 4096;
constexpr DWORD kThreadStopMs = 5000;

class Deadline {
public:
    explicit Deadline(DWORD timeoutMs) : end_(GetTickCount64() + timeoutMs) {}
    DWORD remaining() const {
        const ULONGLONG now = GetTickCount64();
        return now >= end_ ? 0 : static_cast<DWORD>(end_ - now);
    }

private:
    ULONGLONG end_;
};

}  // namespace

std::string UniqueDevicePath(const char* label) {
    static unsigned counter = 0;
    char path[128];
    std::snprintf(path, sizeof path, "\\\\.\\pipe\\hid#vid_3c9b&pid_5d17#%s-%lu-%u", label,
                  static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
    return path;
}

PipeDevice::PipeDevice(std::string path, Options options)
    : path_(std::move(path)),
      options_(options),
      pipe_(CreateNamedPipeA(path_.c_str(),
                             PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                             PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                             1,
                             kMaxReport,
                             options.inBufferSize,
                             0,
                             nullptr)),
      stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      reading_(CreateEventA(nullptr, TRUE, options.reading ? TRUE : FALSE, nullptr)),
      changed_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      ioDone_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (pipe_.valid() && stop_.valid() && reading_.valid() && changed_.valid() && ioDone_.valid())
        thread_.reset(CreateThread(nullptr, 0, &PipeDevice::ThreadMain, this, 0, nullptr));
}

PipeDevice::~PipeDevice() {
    stopThread();
}

void PipeDevice::startReading() {
    SetEvent(reading_.get());
}

bool PipeDevice::queueReport(std::span<const std::uint8_t> report) {
    const sw::win32::UniqueHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = done.get();
    const BOOL started = WriteFile(pipe_.get(), report.data(), static_cast<DWORD>(report.size()), nullptr, &overlapped);
    if (!started && GetLastError() != ERROR_IO_PENDING)
        return false;
    if (WaitForSingleObject(done.get(), 2000) != WAIT_OBJECT_0)
        CancelIoEx(pipe_.get(), &overlapped);
    DWORD written = 0;
    return GetOverlappedResult(pipe_.get(), &overlapped, &written, TRUE) && written == report.size();
}

void PipeDevice::close() {
    stopThread();
    pipe_.reset();
}

void PipeDevice::stopThread() {
    if (!thread_.valid())
        return;
    SetEvent(stop_.get());
    if (WaitForSingleObject(thread_.get(), kThreadStopMs) != WAIT_OBJECT_0) {
        std::printf("  the pipe device thread did not stop\n");
        std::fflush(stdout);
    }
    thread_.reset();
}

bool PipeDevice::waitForReports(std::size_t count, DWORD timeoutMs) {
    return waitUntil([&] { return reports_.size() >= count; }, timeoutMs);
}

bool PipeDevice::waitForEchoes(std::size_t count, DWORD timeoutMs) {
    return waitUntil([&] { return echoes_ >= count; }, timeoutMs);
}

bool PipeDevice::waitForPanelGone(DWORD timeoutMs) {
    return waitUntil([&] { return panelGone_; }, timeoutMs);
}

std::vector<PipeDevice::Report> PipeDevice::reports() const {
    AcquireSRWLockShared(&lock_);
    std::vector<Report> copy = reports_;
    ReleaseSRWLockShared(&lock_);
    return copy;
}

template <typename Condition>
bool PipeDevice::waitUntil(Condition condition, DWORD timeoutMs) {
    const Deadline deadline(timeoutMs);
    for (;;) {
        AcquireSRWLockShared(&lock_);
        const bool met = condition();
        ReleaseSRWLockShared(&lock_);
        if (met)
            return true;
        const DWORD remaining = deadline.remaining();
        if (remaining == 0)
            return false;
        WaitForSingleObject(changed_.get(), remaining);
    }
}

DWORD WINAPI PipeDevice::ThreadMain(void* self) {
    static_cast<PipeDevice*>(self)->serve();
    return 0;
}

bool PipeDevice::finish(BOOL started, OVERLAPPED& overlapped, DWORD& transferred) {
    if (!started && GetLastError() != ERROR_IO_PENDING)
        return false;
    const HANDLE waits[] = {overlapped.hEvent, stop_.get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
        CancelIoEx(pipe_.get(), &overlapped);
    return GetOverlappedResult(pipe_.get(), &overlapped, &transferred, TRUE) &&
           WaitForSingleObject(stop_.get(), 0) != WAIT_OBJECT_0;
}

bool PipeDevice::connect(OVERLAPPED& overlapped) {
    if (ConnectNamedPipe(pipe_.get(), &overlapped))
        return true;
    // The panel may have connected (and even left again, ERROR_NO_DATA) before the device got here; a read
    // then tells which.
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA)
        return true;
    SetLastError(error);
    DWORD unused = 0;
    return finish(FALSE, overlapped, unused);
}

void PipeDevice::serve() {
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioDone_.get();
    if (!connect(overlapped))
        return;

    std::vector<std::uint8_t> buffer(kMaxReport);
    for (;;) {
        const HANDLE waits[] = {reading_.get(), stop_.get()};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
            return;

        overlapped = OVERLAPPED{};
        overlapped.hEvent = ioDone_.get();
        ResetEvent(ioDone_.get());
        DWORD length = 0;
        const BOOL readAtOnce = ReadFile(pipe_.get(), buffer.data(), kMaxReport, nullptr, &overlapped);
        if (!finish(readAtOnce, overlapped, length)) {
            if (WaitForSingleObject(stop_.get(), 0) != WAIT_OBJECT_0) {
                AcquireSRWLockExclusive(&lock_);
                panelGone_ = true;
                ReleaseSRWLockExclusive(&lock_);
                SetEvent(changed_.get());
            }
            return;
        }
        AcquireSRWLockExclusive(&lock_);
        reports_.emplace_back(buffer.begin(), buffer.begin() + length);
        ReleaseSRWLockExclusive(&lock_);
        SetEvent(changed_.get());

        if (!options_.echo)
            continue;
        overlapped = OVERLAPPED{};
        overlapped.hEvent = ioDone_.get();
        ResetEvent(ioDone_.get());
        DWORD written = 0;
        const BOOL writtenAtOnce = WriteFile(pipe_.get(), buffer.data(), length, nullptr, &overlapped);
        if (!finish(writtenAtOnce, overlapped, written))
            return;
        AcquireSRWLockExclusive(&lock_);
        ++echoes_;
        ReleaseSRWLockExclusive(&lock_);
        SetEvent(changed_.get());
    }
}

}  // namespace sw::wine_test
