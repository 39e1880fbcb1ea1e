#pragma once
// Counts the kernel handles another process holds. GetProcessHandleCount answers 0 under Wine; the system-wide
// handle table (NtQuerySystemInformation) is filled from the wineserver's own table, so it counts for real there
// as on Windows.

#include <windows.h>

#include <optional>

namespace sw::e2e {

// Handles held by the process with id `processId`; none if the system cannot list its handle table.
std::optional<long> kernelHandleCount(DWORD processId);

}  // namespace sw::e2e
