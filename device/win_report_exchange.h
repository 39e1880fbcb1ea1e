#pragma once
// One output or input report over overlapped I/O on the open device, each step with its own event and bounded
// wait. No I/O outlives its step: one still under way when the step gives up is cancelled and waited for.

#include <windows.h>

#include <cstdint>
#include <span>

#include "device/device_link.h"
#include "device/win_call_failure.h"

namespace sw::device {

WriteOutcome WriteDeviceReport(HANDLE device,
                               std::span<std::uint8_t> report,
                               DWORD waitMs,
                               bool confirm,
                               CallFailure& failure);

ReadOutcome ReadDeviceReport(HANDLE device, std::span<std::uint8_t> reply, DWORD waitMs, CallFailure& failure);

}  // namespace sw::device
