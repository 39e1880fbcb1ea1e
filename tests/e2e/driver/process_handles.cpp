#include "tests/e2e/driver/process_handles.h"

#include <algorithm>
#include <vector>

namespace sw::e2e {

namespace {

// SystemExtendedHandleInformation: one record per open handle of every process, with 64-bit wide process ids.
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr std::size_t kLargestTable = 64u << 20;

struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

QuerySystemInformation querySystemInformation() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll)
        return nullptr;
    // Through void*: GetProcAddress's FARPROC carries no signature.
    return reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
}

}  // namespace

std::optional<long> kernelHandleCount(DWORD processId) {
    const QuerySystemInformation query = querySystemInformation();
    if (!query)
        return std::nullopt;
    // The table grows between the size query and the copy when another process opens handles: ask again, larger.
    std::vector<unsigned char> buffer(1u << 20);
    for (;;) {
        ULONG needed = 0;
        const LONG status =
            query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kStatusInfoLengthMismatch && buffer.size() < kLargestTable) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
            continue;
        }
        if (status != 0)
            return std::nullopt;
        break;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i) {
        if (table->entries[i].processId == processId)
            ++count;
    }
    return count;
}

}  // namespace sw::e2e
