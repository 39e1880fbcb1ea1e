#pragma once
// A stand-in for the device at the other end of a named pipe, served by its own thread: it logs every report
// the panel writes and, as an echo device, answers each with the same bytes. Its in-buffer size decides when the
// panel's writes stall (0: the first write pends until the device reads).

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "win32/unique_handle.h"

namespace sw::wine_test {

class PipeDevice {
public:
    struct Options {
        DWORD inBufferSize = 4096;
        bool echo = false;    // answer each report with itself
        bool reading = true;  // false: take no report until startReading()
    };
    using Report = std::vector<std::uint8_t>;

    PipeDevice(std::string path, Options options);
    ~PipeDevice();
    PipeDevice(const PipeDevice&) = delete;
    PipeDevice& operator=(const PipeDevice&) = delete;

    bool listening() const { return pipe_.valid() && thread_.valid(); }
    const std::string& path() const { return path_; }

    void startReading();
    // Puts one report into the pipe for the panel to read; true once it is queued.
    bool queueReport(std::span<const std::uint8_t> report);
    // The device goes away: its end of the pipe is closed.
    void close();

    // Condition waits with a deadline; true when the condition held in time.
    bool waitForReports(std::size_t count, DWORD timeoutMs);
    bool waitForEchoes(std::size_t count, DWORD timeoutMs);
    bool waitForPanelGone(DWORD timeoutMs);

    std::vector<Report> reports() const;

private:
    static DWORD WINAPI ThreadMain(void* self);
    void serve();
    bool connect(OVERLAPPED& overlapped);
    // Runs one overlapped call to its end unless the device is stopped first; false when stopped or failed.
    bool finish(BOOL started, OVERLAPPED& overlapped, DWORD& transferred);
    template <typename Condition>
    bool waitUntil(Condition condition, DWORD timeoutMs);
    void stopThread();

    std::string path_;
    Options options_;
    sw::win32::UniqueHandle pipe_;
    sw::win32::UniqueHandle stop_;     // manual reset: ends the thread
    sw::win32::UniqueHandle reading_;  // manual reset: the device takes reports
    sw::win32::UniqueHandle changed_;  // auto reset: a report, an echo or the panel's leaving was seen
    sw::win32::UniqueHandle ioDone_;   // the device thread's own I/O; made here so the thread makes no handle
    sw::win32::UniqueHandle thread_;
    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    std::vector<Report> reports_;
    std::size_t echoes_ = 0;
    bool panelGone_ = false;
};

// A pipe path that the discovery pattern of vendor 3C9B, product 5D17 matches, unique in this process.
std::string UniqueDevicePath(const char* label);

}  // namespace sw::wine_test
