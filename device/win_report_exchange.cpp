#include "device/win_report_exchange.h"

#include "win32/unique_handle.h"

namespace sw::device {
namespace {

// One step's OVERLAPPED and its completion event: a fresh unnamed, auto-reset, initially signalled event, as each
// step gets its own. If the step's I/O is still under way when the step ends, the destructor withdraws it and
// waits until the system has let go of the buffer, the OVERLAPPED and the event, so nothing completes into
// released memory.
class OverlappedStep {
public:
    explicit OverlappedStep(HANDLE device) : device_(device), event_(CreateEventA(nullptr, FALSE, TRUE, nullptr)) {
        overlapped_.hEvent = event_.get();
    }
    ~OverlappedStep() {
        if (!started_ || HasOverlappedIoCompleted(&overlapped_))
            return;
        CancelIoEx(device_, &overlapped_);
        DWORD transferred = 0;
        GetOverlappedResult(device_, &overlapped_, &transferred, TRUE);
    }
    OverlappedStep(const OverlappedStep&) = delete;
    OverlappedStep& operator=(const OverlappedStep&) = delete;

    bool ready() const { return event_.valid(); }
    OVERLAPPED* overlapped() { return &overlapped_; }
    HANDLE event() const { return event_.get(); }
    // From here on the system may use the buffer and the OVERLAPPED until the I/O completes.
    void markStarted() { started_ = true; }

    // Waits for the completion event; any end but a signal is recorded as the failure of the wait.
    DWORD waitForCompletion(DWORD waitMs, CallFailure& failure) const {
        const DWORD waited = WaitForSingleObject(event_.get(), waitMs);
        if (waited == WAIT_TIMEOUT)
            failure.record("WaitForSingleObject", WAIT_TIMEOUT);
        else if (waited != WAIT_OBJECT_0)
            failure.record("WaitForSingleObject", GetLastError());
        return waited;
    }

    // The I/O's final result, waiting for it if it has not completed yet.
    bool finalResult(CallFailure& failure) {
        DWORD transferred = 0;
        if (GetOverlappedResult(device_, &overlapped_, &transferred, TRUE))
            return true;
        failure.record("GetOverlappedResult", GetLastError());
        return false;
    }

private:
    HANDLE device_;
    win32::UniqueHandle event_;
    OVERLAPPED overlapped_{};
    bool started_ = false;
};

// A report the system can take in one call: present, not empty and countable in a DWORD.
bool CanTransfer(HANDLE device, std::span<std::uint8_t> report, const char* call, CallFailure& failure) {
    if (device == INVALID_HANDLE_VALUE || device == nullptr) {
        failure.record(call, ERROR_INVALID_HANDLE);
        return false;
    }
    if (report.empty() || report.size() > MAXDWORD) {
        failure.record(call, ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

}  // namespace

WriteOutcome WriteDeviceReport(HANDLE device,
                               std::span<std::uint8_t> report,
                               DWORD waitMs,
                               bool confirm,
                               CallFailure& failure) {
    if (!CanTransfer(device, report, "WriteFile", failure))
        return WriteOutcome::SendFailed;
    OverlappedStep step(device);
    if (!step.ready()) {
        failure.record("CreateEventA", GetLastError());
        return WriteOutcome::SendFailed;
    }

    report[0] = 0;  // report ID: the device uses no numbered reports
    if (!WriteFile(device, report.data(), static_cast<DWORD>(report.size()), nullptr, step.overlapped())) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            // Refused at once (for instance the device is gone): no I/O was started, so there is nothing to wait
            // for, and the still signalled event must not pass this for a completed write.
            failure.record("WriteFile", error);
            return WriteOutcome::SendFailed;
        }
    }
    step.markStarted();

    const DWORD waited = step.waitForCompletion(waitMs, failure);
    if (waited == WAIT_TIMEOUT)
        return WriteOutcome::SendFailed;
    if (!confirm)
        return WriteOutcome::Sent;  // only a time-out counts against an unconfirmed write
    if (waited != WAIT_OBJECT_0)
        return WriteOutcome::SendFailed;
    return step.finalResult(failure) ? WriteOutcome::Sent : WriteOutcome::SendFailed;
}

ReadOutcome ReadDeviceReport(HANDLE device, std::span<std::uint8_t> reply, DWORD waitMs, CallFailure& failure) {
    if (!CanTransfer(device, reply, "ReadFile", failure))
        return ReadOutcome::NotReady;
    OverlappedStep step(device);
    if (!step.ready()) {
        failure.record("CreateEventA", GetLastError());
        return ReadOutcome::NotReady;
    }

    reply[0] = 0;
    if (!ReadFile(device, reply.data(), static_cast<DWORD>(reply.size()), nullptr, step.overlapped())) {
        // Only a report that is already waiting is taken: a read the system merely queues (ERROR_IO_PENDING) is
        // withdrawn again by the step, so a later reply stays queued for the next read.
        const DWORD error = GetLastError();
        failure.record("ReadFile", error);
        if (error == ERROR_IO_PENDING)
            step.markStarted();
        return ReadOutcome::NotReady;
    }
    step.markStarted();

    if (step.waitForCompletion(waitMs, failure) != WAIT_OBJECT_0)
        return ReadOutcome::ReceiveFailed;
    if (!step.finalResult(failure))
        return ReadOutcome::ReceiveFailed;
    // The read has ended, so the buffer is ours again: byte 0 is the report ID slot, whatever the device put
    // there, and no reply is ever judged by it.
    reply[0] = 0;
    return ReadOutcome::Received;
}

}  // namespace sw::device
