#include "sim/pipe_device_server.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <span>
#include <vector>

#include "win32/unique_handle.h"

namespace sw::sim {
namespace {

using win32::UniqueHandle;

// Big enough for any report a 16-bit length can describe, so one read always takes one whole message.
constexpr DWORD kReadBufferSize = 65536;
// Replies wait in the pipe like input reports in the system's queue, until the client reads them.
constexpr DWORD kOutBufferSize = 65536;
// No in-buffer: a client's write completes only into a read the server has issued, so a server that stops
// reading makes the client's writes pend, as a device that stops taking reports does.
constexpr DWORD kInBufferSize = 0;
// While not reading, the server notices a departed client only by asking.
constexpr DWORD kClientCheckMs = 50;
constexpr DWORD kRetryMs = 100;

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

// One overlapped operation on the pipe, with an event of its own (manual reset: it stays signalled until the
// worker has collected the result).
class PipeOp {
public:
    PipeOp() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    bool ready() const { return event_.valid(); }
    HANDLE event() const { return event_.get(); }
    bool pending() const { return pending_; }

    OVERLAPPED* arm() {
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = event_.get();
        return &overlapped_;
    }
    void markPending() { pending_ = true; }

    // Collects the result of the completed operation; false with `error` when it failed. A message longer than
    // the buffer is no failure here: its first part is a whole report.
    bool finish(HANDLE pipe, DWORD& transferred, DWORD& error) {
        pending_ = false;
        transferred = 0;
        if (GetOverlappedResult(pipe, &overlapped_, &transferred, FALSE))
            return true;
        error = GetLastError();
        return error == ERROR_MORE_DATA;
    }

    // Withdraws the operation if it is still under way and waits until the system has let go of its buffer.
    // True when it had completed successfully before the withdrawal took hold.
    bool cancel(HANDLE pipe, DWORD& transferred) {
        if (!pending_)
            return false;
        CancelIoEx(pipe, &overlapped_);
        pending_ = false;
        transferred = 0;
        if (GetOverlappedResult(pipe, &overlapped_, &transferred, TRUE))
            return true;
        return GetLastError() == ERROR_MORE_DATA;
    }

private:
    UniqueHandle event_;
    OVERLAPPED overlapped_{};
    bool pending_ = false;
};

class MonotonicClock {
public:
    MonotonicClock() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    Millis now() const {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return (t.QuadPart - start_.QuadPart) * 1000 / frequency_.QuadPart;
    }

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

}  // namespace

// The worker keeps one pipe instance listening at all times, also while it serves a client on another: a panel
// that closes its handle and opens the path again at once must never find the pipe busy. The newest client is
// the one served; the panel never holds two handles, so an older one can only be a client that has gone.
struct PipeDeviceServer::State {
    explicit State(std::string pipePath) : path(std::move(pipePath)), readBuffer(kReadBufferSize) {}

    template <typename F>
    decltype(auto) locked(F&& f) {
        ExclusiveLock guard(lock);
        return f(model);
    }
    bool unplugged() {
        return locked([](Ot40Model& m) { return m.unplugged(); });
    }

    // --- worker thread ---
    static DWORD WINAPI threadMain(void* self);
    void run();
    void followPresence();
    void keepReading();
    void answerDueReplies();
    bool waitForEvents();

    bool createListener();
    void listen();
    void finishConnect();
    void closeListener();
    void serveListener();
    void dropClient();
    void startRead();
    void finishRead();
    void withdrawRead();
    void deliver(DWORD length);
    void startWrite(std::vector<std::uint8_t> reply);
    void finishWrite();
    void checkClientStillThere();

    const std::string path;
    SRWLOCK lock = SRWLOCK_INIT;
    Ot40Model model;  // under `lock`
    std::atomic<int> connections{0};
    std::atomic<DWORD> lastError{0};  // set by whichever thread failed last
    UniqueHandle stopEvent{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle wakeEvent{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueHandle thread;
    MonotonicClock clock;

    // Owned by the worker while it runs.
    UniqueHandle listener;  // the instance waiting for the next client
    PipeOp connectOp;
    UniqueHandle client;  // the instance serving the current client, if any
    PipeOp readOp;
    PipeOp writeOp;
    bool retrySoon = false;
    std::vector<std::uint8_t> readBuffer;
    std::vector<std::uint8_t> writeBuffer;
};

DWORD WINAPI PipeDeviceServer::State::threadMain(void* self) {
    static_cast<State*>(self)->run();
    return 0;
}

void PipeDeviceServer::State::run() {
    for (;;) {
        followPresence();
        if (client.valid()) {
            keepReading();
            answerDueReplies();
        }
        if (!waitForEvents())
            break;
    }
    closeListener();
    dropClient();
}

// A present device has a listening instance; a gone one has no instance at all, so opening the path fails as
// opening a removed device does, and its client loses the connection.
void PipeDeviceServer::State::followPresence() {
    retrySoon = false;
    if (unplugged()) {
        closeListener();
        dropClient();
        return;
    }
    if (!listener.valid() && !createListener()) {
        retrySoon = true;
        return;
    }
    if (!connectOp.pending())
        listen();
}

void PipeDeviceServer::State::keepReading() {
    const bool stalled = locked([](Ot40Model& m) { return m.writesStalled(); });
    if (stalled && readOp.pending())
        withdrawRead();
    else if (!stalled && !readOp.pending())
        startRead();
}

void PipeDeviceServer::State::answerDueReplies() {
    if (!client.valid() || writeOp.pending())
        return;
    const Millis now = clock.now();
    auto reply = locked([now](Ot40Model& m) { return m.takeReply(now); });
    if (reply)
        startWrite(std::move(*reply));
}

bool PipeDeviceServer::State::waitForEvents() {
    HANDLE handles[5] = {stopEvent.get(), wakeEvent.get()};
    PipeOp* ops[5] = {nullptr, nullptr};
    DWORD count = 2;
    for (PipeOp* op : {&connectOp, &readOp, &writeOp}) {
        if (op->pending()) {
            handles[count] = op->event();
            ops[count] = op;
            ++count;
        }
    }

    DWORD timeout = retrySoon ? kRetryMs : INFINITE;
    if (client.valid()) {
        if (!readOp.pending())
            timeout = std::min(timeout, kClientCheckMs);
        if (!writeOp.pending()) {
            if (auto due = locked([](Ot40Model& m) { return m.nextReplyTime(); })) {
                // One millisecond more, so a wait that ends a little early does not come back before the time.
                const Millis left = std::max<Millis>(*due - clock.now() + 1, 0);
                timeout = std::min(timeout, static_cast<DWORD>(std::min<Millis>(left, INFINITE - 1)));
            }
        }
    }

    const DWORD waited = WaitForMultipleObjects(count, handles, FALSE, timeout);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_FAILED)
        return false;  // stop; a failed wait cannot happen with valid handles, and ending beats spinning
    if (waited == WAIT_TIMEOUT) {
        if (client.valid() && !readOp.pending())
            checkClientStillThere();
        return true;
    }
    const DWORD index = waited - WAIT_OBJECT_0;
    if (index < count && ops[index] == &connectOp)
        finishConnect();
    else if (index < count && ops[index] == &readOp)
        finishRead();
    else if (index < count && ops[index] == &writeOp)
        finishWrite();
    return true;
}

bool PipeDeviceServer::State::createListener() {
    HANDLE h = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                                PIPE_UNLIMITED_INSTANCES, kOutBufferSize, kInBufferSize, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        lastError = GetLastError();
        return false;
    }
    listener.reset(h);
    return true;
}

void PipeDeviceServer::State::listen() {
    if (ConnectNamedPipe(listener.get(), connectOp.arm())) {
        serveListener();
        return;
    }
    const DWORD error = GetLastError();
    switch (error) {
        case ERROR_IO_PENDING:
            connectOp.markPending();
            break;
        case ERROR_PIPE_CONNECTED:  // the client came before the listening began
            serveListener();
            break;
        default:  // ERROR_NO_DATA: it came and has already gone again; anything else: try a fresh instance
            if (error != ERROR_NO_DATA)
                lastError = error;
            closeListener();
            retrySoon = true;
            break;
    }
}

void PipeDeviceServer::State::finishConnect() {
    DWORD ignored = 0;
    DWORD error = 0;
    if (connectOp.finish(listener.get(), ignored, error)) {
        serveListener();
        return;
    }
    closeListener();
    retrySoon = true;
}

void PipeDeviceServer::State::closeListener() {
    if (!listener.valid())
        return;
    DWORD ignored = 0;
    connectOp.cancel(listener.get(), ignored);
    listener.reset();
}

// The listening instance has a client: it becomes the served one, and a fresh listener follows.
void PipeDeviceServer::State::serveListener() {
    dropClient();
    client = std::move(listener);
    ++connections;
    // A new handle starts with an empty input-report queue.
    locked([](Ot40Model& m) { m.clearReplies(); });
}

void PipeDeviceServer::State::dropClient() {
    if (!client.valid())
        return;
    DWORD transferred = 0;
    if (readOp.cancel(client.get(), transferred))
        deliver(transferred);
    writeOp.cancel(client.get(), transferred);
    DisconnectNamedPipe(client.get());
    client.reset();
    locked([](Ot40Model& m) { m.clearReplies(); });
}

void PipeDeviceServer::State::startRead() {
    if (ReadFile(client.get(), readBuffer.data(), kReadBufferSize, nullptr, readOp.arm())) {
        readOp.markPending();  // completed at once; collected through the signalled event like any other
        return;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING || error == ERROR_MORE_DATA)
        readOp.markPending();
    else
        dropClient();
}

void PipeDeviceServer::State::finishRead() {
    DWORD transferred = 0;
    DWORD error = 0;
    if (readOp.finish(client.get(), transferred, error))
        deliver(transferred);
    else if (error != ERROR_OPERATION_ABORTED)
        dropClient();
}

// The device has started to stall while a read was out: take it back, unless a report got through first.
void PipeDeviceServer::State::withdrawRead() {
    DWORD transferred = 0;
    if (readOp.cancel(client.get(), transferred))
        deliver(transferred);
}

void PipeDeviceServer::State::deliver(DWORD length) {
    const Millis now = clock.now();
    const std::span<const std::uint8_t> report(readBuffer.data(), length);
    locked([&](Ot40Model& m) { m.receive(report, now); });
}

void PipeDeviceServer::State::startWrite(std::vector<std::uint8_t> reply) {
    writeBuffer = std::move(reply);
    if (WriteFile(client.get(), writeBuffer.data(), static_cast<DWORD>(writeBuffer.size()), nullptr, writeOp.arm()) ||
        GetLastError() == ERROR_IO_PENDING) {
        writeOp.markPending();
        return;
    }
    dropClient();
}

void PipeDeviceServer::State::finishWrite() {
    DWORD transferred = 0;
    DWORD error = 0;
    if (!writeOp.finish(client.get(), transferred, error) && error != ERROR_OPERATION_ABORTED)
        dropClient();
}

void PipeDeviceServer::State::checkClientStillThere() {
    DWORD available = 0;
    if (PeekNamedPipe(client.get(), nullptr, 0, nullptr, &available, nullptr))
        return;
    const DWORD error = GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED || error == ERROR_NO_DATA)
        dropClient();
}

// --- the public face ---

PipeDeviceServer::PipeDeviceServer(std::string pipePath) : state_(std::make_unique<State>(std::move(pipePath))) {}

PipeDeviceServer::~PipeDeviceServer() {
    stop();
}

bool PipeDeviceServer::start() {
    State& s = *state_;
    if (s.thread.valid())
        return true;
    if (!s.stopEvent.valid() || !s.wakeEvent.valid() || !s.connectOp.ready() || !s.readOp.ready() ||
        !s.writeOp.ready()) {
        s.lastError = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    ResetEvent(s.stopEvent.get());
    // The pipe exists when start() returns, so whoever waits for the server can connect at once.
    if (!s.unplugged() && !s.createListener())
        return false;
    s.thread.reset(CreateThread(nullptr, 0, &State::threadMain, &s, 0, nullptr));
    if (!s.thread.valid()) {
        s.lastError = GetLastError();
        s.listener.reset();
        return false;
    }
    return true;
}

void PipeDeviceServer::stop() {
    State& s = *state_;
    if (!s.thread.valid())
        return;
    SetEvent(s.stopEvent.get());
    WaitForSingleObject(s.thread.get(), INFINITE);
    s.thread.reset();
}

bool PipeDeviceServer::running() const {
    return state_->thread.valid();
}

std::uint32_t PipeDeviceServer::lastError() const {
    return state_->lastError;
}

const std::string& PipeDeviceServer::pipePath() const {
    return state_->path;
}

int PipeDeviceServer::connectionCount() const {
    return state_->connections.load();
}

void PipeDeviceServer::runLocked(const std::function<void(Ot40Model&)>& f) {
    state_->locked(f);
    SetEvent(state_->wakeEvent.get());
}

}  // namespace sw::sim
