#pragma once
// The last Win32 call of the device link that failed, kept for diagnosis: the panel shows only its fixed status
// texts, so this is never displayed or logged, but a test or a debugger can see why a step failed.

namespace sw::device {

struct CallFailure {
    const char* call = nullptr;  // the failing function's name; nullptr while nothing has failed
    unsigned long code = 0;      // its GetLastError() value; for HidP_GetCaps the status it returned

    void record(const char* failedCall, unsigned long failureCode) {
        call = failedCall;
        code = failureCode;
    }
    void clear() { *this = CallFailure{}; }
};

}  // namespace sw::device
