#pragma once
// hid.dll, loaded by name for each use. Its SDK headers come only with the driver kit, so the few entry points the
// link calls are declared here with the layouts of the public Windows headers.

#include <windows.h>

namespace sw::device::hid {

// HIDP_CAPS. Only the two report lengths are read; the rest is here so that HidP_GetCaps has room to write.
struct Caps {
    USHORT Usage;
    USHORT UsagePage;
    USHORT InputReportByteLength;
    USHORT OutputReportByteLength;
    USHORT FeatureReportByteLength;
    USHORT Reserved[17];
    USHORT NumberLinkCollectionNodes;
    USHORT NumberInputButtonCaps;
    USHORT NumberInputValueCaps;
    USHORT NumberInputDataIndices;
    USHORT NumberOutputButtonCaps;
    USHORT NumberOutputValueCaps;
    USHORT NumberOutputDataIndices;
    USHORT NumberFeatureButtonCaps;
    USHORT NumberFeatureValueCaps;
    USHORT NumberFeatureDataIndices;
};
static_assert(sizeof(Caps) == 64, "HIDP_CAPS is 32 USHORTs");

using PreparsedData = void*;                      // PHIDP_PREPARSED_DATA, opaque to the caller
inline constexpr LONG kStatusSuccess = 0x110000;  // HIDP_STATUS_SUCCESS

using GetHidGuidFn = void(WINAPI*)(GUID* hidGuid);
using GetPreparsedDataFn = BOOLEAN(WINAPI*)(HANDLE device, PreparsedData* preparsedData);
using FreePreparsedDataFn = BOOLEAN(WINAPI*)(PreparsedData preparsedData);
using GetCapsFn = LONG(WINAPI*)(PreparsedData preparsedData, Caps* capabilities);

// Keeps hid.dll loaded for the lifetime of one operation.
class Library {
public:
    Library() : module_(LoadLibraryA("hid.dll")) {}
    ~Library() {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool loaded() const { return module_ != nullptr; }

    // nullptr when the library lacks the entry point.
    template <typename Fn>
    Fn resolve(const char* name) const {
        // Through void*: GetProcAddress's FARPROC carries no signature, the caller's type gives it one.
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

}  // namespace sw::device::hid
