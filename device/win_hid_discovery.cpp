#include "device/win_hid_discovery.h"

#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "device/win_hid_library.h"

namespace sw::device {
namespace {

// The record sizes SetupAPI checks are those of the build's own layout: 32 and 8 bytes on x64, 28 and 5 on x86.
// The fixed part of the detail record is its size field and the first character of the path.
constexpr DWORD kInterfaceDataSize = sizeof(SP_DEVICE_INTERFACE_DATA);
constexpr DWORD kDetailFixedSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
constexpr DWORD kDetailPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
// A device path is a few hundred characters at most; a larger size reported for one is not believed.
constexpr DWORD kDetailMaxSize = 64 * 1024;

class DeviceInfoSet {
public:
    explicit DeviceInfoSet(HDEVINFO set) : set_(set) {}
    ~DeviceInfoSet() {
        if (valid())
            SetupDiDestroyDeviceInfoList(set_);
    }
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;

    bool valid() const { return set_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return set_; }

private:
    HDEVINFO set_;
};

bool GetHidInterfaceClass(GUID& hidGuid, CallFailure& failure) {
    const hid::Library library;
    if (!library.loaded()) {
        failure.record("LoadLibraryA", GetLastError());
        return false;
    }
    const auto getHidGuid = library.resolve<hid::GetHidGuidFn>("HidD_GetHidGuid");
    if (getHidGuid == nullptr) {
        failure.record("GetProcAddress", GetLastError());
        return false;
    }
    getHidGuid(&hidGuid);
    return true;
}

// The device path of one enumerated interface; false (the interface is skipped) when its detail cannot be had.
bool GetInterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData, std::string& path, CallFailure& failure) {
    // Asking without a buffer fails by nature; only the size it reports is used.
    DWORD requiredSize = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &requiredSize, nullptr);
    const DWORD sizeError = GetLastError();
    if (requiredSize < kDetailFixedSize || requiredSize > kDetailMaxSize) {
        failure.record("SetupDiGetDeviceInterfaceDetailA", sizeError);
        return false;
    }

    // operator new[] aligns for any fundamental type, as the record's DWORD size field needs.
    const auto storage = std::make_unique<unsigned char[]>(requiredSize);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.get());
    detail->cbSize = kDetailFixedSize;
    if (!SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detail, requiredSize, nullptr, nullptr)) {
        failure.record("SetupDiGetDeviceInterfaceDetailA", GetLastError());
        return false;
    }
    // Never read past the record, even if the path came back without its terminator.
    const char* text = detail->DevicePath;
    path.assign(text, strnlen(text, requiredSize - kDetailPathOffset));
    return true;
}

// Walks the present HID interfaces in enumeration order and hands each path that contains "vid_%04x&pid_%04x"
// (lower case) to `found`, until it returns false. False when the walk could not start or no path matched.
template <typename Found>
bool WalkMatchingInterfaces(std::uint16_t vendorId, std::uint16_t productId, CallFailure& failure, Found found) {
    char pattern[32];
    std::snprintf(pattern, sizeof pattern, "vid_%04x&pid_%04x", static_cast<unsigned>(vendorId),
                  static_cast<unsigned>(productId));

    GUID hidGuid{};
    if (!GetHidInterfaceClass(hidGuid, failure))
        return false;

    const DeviceInfoSet set(SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.valid()) {
        failure.record("SetupDiGetClassDevsA", GetLastError());
        return false;
    }

    bool any = false;
    for (DWORD memberIndex = 0;; ++memberIndex) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = kInterfaceDataSize;
        if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &hidGuid, memberIndex, &interfaceData)) {
            // ERROR_NO_MORE_ITEMS after the last interface.
            failure.record("SetupDiEnumDeviceInterfaces", GetLastError());
            return any;
        }
        std::string candidate;
        if (!GetInterfacePath(set.get(), interfaceData, candidate, failure))
            continue;
        // Case-sensitive: a path spelling the IDs in upper case is a different device to the panel.
        if (candidate.find(pattern) != std::string::npos) {
            any = true;
            if (!found(std::move(candidate)))
                return true;
        }
    }
}

}  // namespace

bool FindHidInterfacePath(std::uint16_t vendorId, std::uint16_t productId, std::string& path, CallFailure& failure) {
    path.clear();
    // The first matching interface wins; later ones are not looked at.
    return WalkMatchingInterfaces(vendorId, productId, failure, [&path](std::string candidate) {
        path = std::move(candidate);
        return false;
    });
}

std::vector<std::string> FindHidInterfacePaths(std::uint16_t vendorId, std::uint16_t productId, CallFailure& failure) {
    std::vector<std::string> paths;
    WalkMatchingInterfaces(vendorId, productId, failure, [&paths](std::string candidate) {
        paths.push_back(std::move(candidate));
        return true;
    });
    return paths;
}

void DescribeHidInterface(const std::string& path, std::string& port, std::string& serial) {
    port.clear();
    serial.clear();
    const DeviceInfoSet set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    if (!set.valid())
        return;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = kInterfaceDataSize;
    if (!SetupDiOpenDeviceInterfaceA(set.get(), path.c_str(), 0, &interfaceData))
        return;
    // Asked without a buffer, the call fails by nature but still names the interface's device.
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    DWORD requiredSize = 0;
    SetupDiGetDeviceInterfaceDetailA(set.get(), &interfaceData, nullptr, 0, &requiredSize, &device);
    if (device.DevInst == 0)
        return;

    // Up from the HID device: its USB interface (on a composite device), then the USB device itself.
    DEVINST node = device.DevInst;
    for (int level = 0; level < 4; ++level) {
        DEVINST parent = 0;
        if (CM_Get_Parent(&parent, node, 0) != CR_SUCCESS)
            return;
        node = parent;
        if (port.empty()) {
            char locations[1024] = {};
            ULONG size = sizeof locations - 2;  // room for the list's two terminators
            ULONG type = 0;
            if (CM_Get_DevNode_Registry_PropertyA(node, CM_DRP_LOCATION_PATHS, &type, locations, &size, 0) ==
                    CR_SUCCESS &&
                type == REG_MULTI_SZ)
                port.assign(locations, strnlen(locations, sizeof locations));
        }
        char id[MAX_DEVICE_ID_LEN + 1] = {};
        if (CM_Get_Device_IDA(node, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS)
            return;
        const std::string instance(id, strnlen(id, sizeof id));
        // "USB\VID_3C9B&PID_5D17\<serial>"; an interface of a composite device carries "&MI_" and no serial.
        if (instance.rfind("USB\\", 0) == 0 && instance.find("&MI_") == std::string::npos) {
            const std::size_t last = instance.rfind('\\');
            if (last != std::string::npos && instance.find('&', last) == std::string::npos)
                serial = instance.substr(last + 1);
            return;
        }
    }
}

UniqueHandle OpenHidInterface(const std::string& path, CallFailure& failure) {
    UniqueHandle device(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!device.valid())
        failure.record("CreateFileA", GetLastError());
    return device;
}

bool ReadReportLengths(HANDLE device, std::uint16_t* inputLength, std::uint16_t* outputLength, CallFailure& failure) {
    if (inputLength != nullptr)
        *inputLength = 0;
    if (outputLength != nullptr)
        *outputLength = 0;
    if ((inputLength == nullptr && outputLength == nullptr) || device == INVALID_HANDLE_VALUE || device == nullptr)
        return false;

    const hid::Library library;
    if (!library.loaded()) {
        failure.record("LoadLibraryA", GetLastError());
        return false;
    }
    const auto getPreparsedData = library.resolve<hid::GetPreparsedDataFn>("HidD_GetPreparsedData");
    const auto freePreparsedData = library.resolve<hid::FreePreparsedDataFn>("HidD_FreePreparsedData");
    const auto getCaps = library.resolve<hid::GetCapsFn>("HidP_GetCaps");
    if (getPreparsedData == nullptr || freePreparsedData == nullptr || getCaps == nullptr) {
        failure.record("GetProcAddress", GetLastError());
        return false;
    }

    hid::PreparsedData preparsedData = nullptr;
    if (!getPreparsedData(device, &preparsedData)) {
        failure.record("HidD_GetPreparsedData", GetLastError());
        return false;
    }
    hid::Caps caps{};
    const LONG status = getCaps(preparsedData, &caps);
    freePreparsedData(preparsedData);
    if (status != hid::kStatusSuccess) {
        failure.record("HidP_GetCaps", static_cast<unsigned long>(status));
        return false;
    }

    if (inputLength != nullptr)
        *inputLength = caps.InputReportByteLength;
    if (outputLength != nullptr)
        *outputLength = caps.OutputReportByteLength;
    return true;
}

}  // namespace sw::device
