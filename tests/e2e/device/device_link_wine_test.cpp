// Runs the Windows device link for real under Wine: discovery and capabilities through the OS doubles of
// tests/e2e/doubles, the report exchange against a named pipe whose server thread stands in for the device.

#include <windows.h>

#include <hidsdi.h>
#include <setupapi.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "device/box_lock.h"
#include "device/win_device_link.h"
#include "device/win_hid_library.h"
#include "tests/e2e/device/pipe_device.h"
#include "tests/e2e/device/wine_test_runner.h"

namespace {

using sw::device::ReadOutcome;
using sw::device::WinDeviceLink;
using sw::device::WriteOutcome;
using sw::wine_test::PipeDevice;
using sw::wine_test::Row;
using sw::wine_test::UniqueDevicePath;

// The link declares HIDP_CAPS itself (the SDK has it only in the driver kit): hold it against the public layout.
#define SW_SAME_CAPS_FIELD(field) \
    static_assert(offsetof(sw::device::hid::Caps, field) == offsetof(HIDP_CAPS, field), #field)
SW_SAME_CAPS_FIELD(Usage);
SW_SAME_CAPS_FIELD(UsagePage);
SW_SAME_CAPS_FIELD(InputReportByteLength);
SW_SAME_CAPS_FIELD(OutputReportByteLength);
SW_SAME_CAPS_FIELD(FeatureReportByteLength);
SW_SAME_CAPS_FIELD(NumberLinkCollectionNodes);
SW_SAME_CAPS_FIELD(NumberFeatureDataIndices);
static_assert(sizeof(sw::device::hid::Caps) == sizeof(HIDP_CAPS));

constexpr std::uint16_t kVendor = 0x3C9B;
constexpr std::uint16_t kProduct = 0x5D17;
constexpr DWORD kSettleMs = 2000;  // bound for the device thread to see what the panel did

// Waits of the product hold to a few milliseconds under Wine; a busy 2-core machine may add a few hundred.
constexpr double kEarlyMs = 2.0;
constexpr double kLateMs = 400.0;
constexpr double kPromptMs = 150.0;  // a step that must not wait for its limit

const GUID kHidInterfaceClass = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// ---------------------------------------------------------------------------------------------------------------
// Scenario settings of the doubles and small helpers.

struct Setting {
    const char* name;
    const char* value;
};

void SetScenario(const std::vector<Setting>& settings) {
    for (const char* name :
         {"SW_DOUBLE_HID_PATHS", "SW_DOUBLE_DETAIL_FAIL", "SW_DOUBLE_DETAIL_SIZE", "SW_DOUBLE_CLASSDEVS_FAIL",
          "SW_DOUBLE_CAPS", "SW_DOUBLE_CAPS_STATUS", "SW_DOUBLE_PREPARSED_FAIL"})
        SetEnvironmentVariableA(name, nullptr);
    for (const Setting& setting : settings)
        SetEnvironmentVariableA(setting.name, setting.value);
}

long DoubleCounter(const char* name) {
    char value[32] = {};
    if (GetEnvironmentVariableA(name, value, sizeof value) == 0)
        return 0;
    return std::strtol(value, nullptr, 10);
}

std::string FailedCall(const WinDeviceLink& link) {
    return link.lastFailure().call != nullptr ? link.lastFailure().call : "(none)";
}

bool HidLibraryLoaded() {
    return GetModuleHandleA("hid.dll") != nullptr;
}

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double elapsedMs() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_;
};

std::vector<std::uint8_t> MakeReport(std::size_t length, std::uint8_t code) {
    std::vector<std::uint8_t> report(length);
    report[0] = 0xA5;  // whatever the caller left there, the link sends report ID 0
    report[1] = code;
    for (std::size_t i = 2; i < length; ++i)
        report[i] = static_cast<std::uint8_t>(i * 7 + code);
    return report;
}

std::vector<std::uint8_t> WithReportIdZero(std::vector<std::uint8_t> report) {
    report[0] = 0;
    return report;
}

std::string DirectoryOf(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    std::string text = path;
    const std::size_t slash = text.find_last_of("\\/");
    text.resize(slash == std::string::npos ? 0 : slash);
    // Windows paths compare without regard to case.
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A link opened on a fresh pipe device.
struct OpenedDevice {
    explicit OpenedDevice(PipeDevice::Options options) : device(UniqueDevicePath("dev"), options) {
        SW_CHECK(device.listening());
        SW_CHECK(link.Open(device.path()));
    }
    PipeDevice device;
    WinDeviceLink link;
};

// ---------------------------------------------------------------------------------------------------------------
// The doubles themselves.

void TheOsDoublesAreLoadedFromBesideTheExe() {
    const std::string exeDirectory = DirectoryOf(nullptr);
    const HMODULE setupapi = GetModuleHandleA("setupapi.dll");
    if (!SW_CHECK(setupapi != nullptr))
        return;
    SW_CHECK_EQ(DirectoryOf(setupapi), exeDirectory);
    const HMODULE hid = LoadLibraryA("hid.dll");
    if (!SW_CHECK(hid != nullptr))
        return;
    SW_CHECK_EQ(DirectoryOf(hid), exeDirectory);
    FreeLibrary(hid);
    SW_CHECK(!HidLibraryLoaded());
}

// The link's record sizes are right only if a double that checks them like Windows accepts them; this shows the
// double would refuse the 32-bit sizes in a 64-bit build.
void TheSetupApiDoubleRefusesRecordSizesOfAnotherLayout() {
    SetScenario({});
    const HDEVINFO set =
        SetupDiGetClassDevsA(&kHidInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (!SW_CHECK(set != INVALID_HANDLE_VALUE))
        return;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(void*) == 8 ? 28 : 32;  // the other bitness's SP_DEVICE_INTERFACE_DATA
    SW_CHECK(!SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, 0, &data));
    SW_CHECK_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    data.cbSize = sizeof data;
    SW_CHECK(SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, 0, &data));

    DWORD required = 0;
    SW_CHECK(!SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr));
    SW_CHECK_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<std::uint64_t> storage(required / 8 + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    // 5 is the fixed part's size only in the 32-bit layout; a 64-bit build's is 8.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5 ? 8 : 5;
    SW_CHECK(!SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr));
    SW_CHECK_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    SW_CHECK(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr));
    SW_CHECK_EQ(std::string(detail->DevicePath), std::string("\\\\.\\pipe\\hid#vid_3c9b&pid_5d17#sim0"));
    SetupDiDestroyDeviceInfoList(set);
}

// ---------------------------------------------------------------------------------------------------------------
// Discovery.

const std::string kClassSuffix = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const std::string kMatch0 = "\\\\?\\hid#vid_3c9b&pid_5d17#7&1f2e3d4c&0&0000" + kClassSuffix;
const std::string kMatch1 = "\\\\?\\hid#vid_3c9b&pid_5d17#7&2a3b4c5d&0&0000" + kClassSuffix;
const std::string kMatchWithInterface = "\\\\?\\hid#vid_3c9b&pid_5d17&mi_01&col02#8&0a1b2c3d&0&0001" + kClassSuffix;
const std::string kUpperCase = "\\\\?\\HID#VID_3C9B&PID_5D17#7&1f2e3d4c&0&0000" + kClassSuffix;
const std::string kOtherProduct = "\\\\?\\hid#vid_046d&pid_c077#7&33e4b1a&0&0000" + kClassSuffix;
const std::string kNeighbourVendor = "\\\\?\\hid#vid_3c9c&pid_5d17#7&44f5c2b&0&0000" + kClassSuffix;

struct DiscoveryRow {
    const char* behaviour;
    std::vector<std::string> paths;  // empty: no present interface
    std::vector<Setting> settings;
    std::string found;       // empty: not found
    std::string failedCall;  // the failure the link records, "(none)" if none
    DWORD failureCode;
    long detailFetches;  // detail requests with a buffer; -1: not counted
    std::uint16_t vendor = kVendor;
    std::uint16_t product = kProduct;
};

void FindsTheFirstMatchingPresentInterface() {
    const std::string none = "(none)";
    const std::string enumEnd = "SetupDiEnumDeviceInterfaces";
    const std::string detail = "SetupDiGetDeviceInterfaceDetailA";
    // clang-format off
    const std::vector<DiscoveryRow> rows = {
        {"the first of two matching interfaces is found, the second is not looked at",
         {kMatch0, kMatch1}, {}, kMatch0, none, 0, 1},
        {"a path with further segments after the IDs matches",
         {kMatchWithInterface}, {}, kMatchWithInterface, none, 0, 1},
        {"IDs spelled in upper case do not match",
         {kUpperCase}, {}, "", enumEnd, ERROR_NO_MORE_ITEMS, 1},
        {"an upper-case interface is passed over for a later lower-case one",
         {kUpperCase, kMatch1}, {}, kMatch1, none, 0, 2},
        {"other products are passed over",
         {kOtherProduct, kNeighbourVendor, kMatch1}, {}, kMatch1, none, 0, 3},
        {"a neighbouring vendor ID alone is not found",
         {kNeighbourVendor}, {}, "", enumEnd, ERROR_NO_MORE_ITEMS, 1},
        {"IDs are four lower-case digits with leading zeros",
         {"\\\\?\\hid#vid_ab&pid_c0d#1", "\\\\?\\hid#vid_00ab&pid_0c0d#2"}, {},
         "\\\\?\\hid#vid_00ab&pid_0c0d#2", none, 0, 2, 0x00AB, 0x0C0D},
        {"an interface whose detail cannot be fetched is skipped",
         {kMatch0, kMatch1}, {{"SW_DOUBLE_DETAIL_FAIL", "0"}}, kMatch1, detail, ERROR_NO_SUCH_DEVICE_INTERFACE, 2},
        {"a detail size of 0 is skipped",
         {kMatch0, kMatch1}, {{"SW_DOUBLE_DETAIL_SIZE", "0:0"}}, kMatch1, detail, ERROR_INSUFFICIENT_BUFFER, 1},
        {"a detail size below the record's fixed part is skipped",
         {kMatch0, kMatch1}, {{"SW_DOUBLE_DETAIL_SIZE", "0:3"}}, kMatch1, detail, ERROR_INSUFFICIENT_BUFFER, 1},
        {"an absurdly large detail size is skipped",
         {kMatch0, kMatch1}, {{"SW_DOUBLE_DETAIL_SIZE", "0:4000000000"}}, kMatch1, detail, ERROR_INSUFFICIENT_BUFFER, 1},
        {"a detail size too small for the path fails the fetch and is skipped",
         {kMatch0, kMatch1}, {{"SW_DOUBLE_DETAIL_SIZE", "0:12"}}, kMatch1, detail, ERROR_INSUFFICIENT_BUFFER, 2},
        {"every interface skipped: not found",
         {kMatch0, kMatch1}, {{"SW_DOUBLE_DETAIL_FAIL", "0,1"}}, "", enumEnd, ERROR_NO_MORE_ITEMS, 2},
        {"no present interface: not found",
         {}, {}, "", enumEnd, ERROR_NO_MORE_ITEMS, 0},
        {"the interface set cannot be created: not found",
         {kMatch0}, {{"SW_DOUBLE_CLASSDEVS_FAIL", "1"}}, "", "SetupDiGetClassDevsA", ERROR_INVALID_DATA, -1},
    };
    // clang-format on
    for (const DiscoveryRow& row : rows) {
        const Row named(row.behaviour);
        std::string paths;
        for (const std::string& path : row.paths)
            paths += (paths.empty() ? "" : "|") + path;
        SetScenario({{"SW_DOUBLE_HID_PATHS", row.paths.empty() ? "none" : paths.c_str()}});
        for (const Setting& setting : row.settings)
            SetEnvironmentVariableA(setting.name, setting.value);

        WinDeviceLink link;
        std::string path = "left from before";
        SW_CHECK_EQ(link.FindDevicePath(row.vendor, row.product, path), !row.found.empty());
        SW_CHECK_EQ(path, row.found);
        SW_CHECK_EQ(FailedCall(link), row.failedCall);
        SW_CHECK_EQ(link.lastFailure().code, static_cast<unsigned long>(row.failureCode));
        if (row.detailFetches >= 0)
            SW_CHECK_EQ(DoubleCounter("SW_DOUBLE_OUT_DETAIL_FETCHES"), row.detailFetches);
        SW_CHECK_EQ(DoubleCounter("SW_DOUBLE_OUT_OPEN_SETS"), 0L);
        SW_CHECK(!HidLibraryLoaded());
        SW_CHECK(!link.IsOpen());
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Session: open, close, report lengths.

void OpeningAPathWithNoDeviceBehindItFails() {
    WinDeviceLink link;
    SW_CHECK(!link.Open(UniqueDevicePath("absent")));
    SW_CHECK(!link.IsOpen());
    SW_CHECK_EQ(FailedCall(link), std::string("CreateFileA"));
    SW_CHECK_EQ(link.lastFailure().code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

void TheDiscoveredPathOpensTheDevice() {
    PipeDevice device(UniqueDevicePath("found"), {});
    SetScenario({{"SW_DOUBLE_HID_PATHS", device.path().c_str()}});
    WinDeviceLink link;
    std::string path;
    SW_CHECK(link.FindDevicePath(kVendor, kProduct, path));
    SW_CHECK_EQ(path, device.path());
    SW_CHECK(link.Open(path));
    SW_CHECK(link.IsOpen());
    SW_CHECK_EQ(FailedCall(link), std::string("(none)"));
}

void CloseReleasesTheDeviceAndASecondCloseIsHarmless() {
    OpenedDevice opened({});
    opened.link.Close();
    SW_CHECK(!opened.link.IsOpen());
    SW_CHECK(opened.device.waitForPanelGone(kSettleMs));
    opened.link.Close();
    SW_CHECK(!opened.link.IsOpen());
}

void DestroyingTheLinkClosesTheDevice() {
    PipeDevice device(UniqueDevicePath("scope"), {});
    {
        WinDeviceLink link;
        SW_CHECK(link.Open(device.path()));
    }
    SW_CHECK(device.waitForPanelGone(kSettleMs));
}

void OpeningAgainClosesThePreviousDevice() {
    PipeDevice first(UniqueDevicePath("first"), {});
    PipeDevice second(UniqueDevicePath("second"), {});
    WinDeviceLink link;
    SW_CHECK(link.Open(first.path()));
    SW_CHECK(link.Open(second.path()));
    SW_CHECK(first.waitForPanelGone(kSettleMs));
    SW_CHECK(link.IsOpen());
}

struct LengthsRow {
    const char* behaviour;
    std::vector<Setting> settings;
    bool askInput;
    bool askOutput;
    bool result;
    std::uint16_t input;
    std::uint16_t output;
    std::string failedCall;
    unsigned long failureCode;
};

void ReportLengthsComeFromTheCapabilities() {
    constexpr std::uint16_t untouched = 0xBEEF;  // what an output not asked for keeps
    const std::string none = "(none)";
    // clang-format off
    const std::vector<LengthsRow> rows = {
        {"both lengths of a 65-byte device", {}, true, true, true, 65, 65, none, 0},
        {"input and output are not swapped", {{"SW_DOUBLE_CAPS", "34,129"}}, true, true, true, 34, 129, none, 0},
        {"an output length of 0 is passed on", {{"SW_DOUBLE_CAPS", "65,0"}}, true, true, true, 65, 0, none, 0},
        {"only the input length asked for", {{"SW_DOUBLE_CAPS", "34,129"}}, true, false, true, 34, untouched, none, 0},
        {"only the output length asked for", {{"SW_DOUBLE_CAPS", "34,129"}}, false, true, true, untouched, 129, none, 0},
        {"neither length asked for", {}, false, false, false, untouched, untouched, none, 0},
        {"a failure status leaves both lengths 0",
         {{"SW_DOUBLE_CAPS_STATUS", "C0110001"}}, true, true, false, 0, 0, "HidP_GetCaps", 0xC0110001UL},
        {"only the exact success status counts",
         {{"SW_DOUBLE_CAPS_STATUS", "110001"}}, true, true, false, 0, 0, "HidP_GetCaps", 0x110001UL},
        {"no preparsed data leaves both lengths 0",
         {{"SW_DOUBLE_PREPARSED_FAIL", "1"}}, true, true, false, 0, 0, "HidD_GetPreparsedData", ERROR_NOT_SUPPORTED},
    };
    // clang-format on
    OpenedDevice opened({});
    for (const LengthsRow& row : rows) {
        const Row named(row.behaviour);
        SetScenario(row.settings);
        std::uint16_t input = untouched;
        std::uint16_t output = untouched;
        SW_CHECK_EQ(opened.link.GetReportLengths(row.askInput ? &input : nullptr, row.askOutput ? &output : nullptr),
                    row.result);
        SW_CHECK_EQ(input, row.input);
        SW_CHECK_EQ(output, row.output);
        SW_CHECK_EQ(FailedCall(opened.link), row.failedCall);
        SW_CHECK_EQ(opened.link.lastFailure().code, row.failureCode);
        SW_CHECK_EQ(DoubleCounter("SW_DOUBLE_OUT_LIVE_PREPARSED"), 0L);
        SW_CHECK(!HidLibraryLoaded());
    }
}

void WithoutAnOpenDeviceEveryStepFails() {
    SetScenario({});
    WinDeviceLink link;
    std::uint16_t input = 0xBEEF;
    std::uint16_t output = 0xBEEF;
    SW_CHECK(!link.GetReportLengths(&input, &output));
    SW_CHECK_EQ(input, 0);
    SW_CHECK_EQ(output, 0);
    std::vector<std::uint8_t> report = MakeReport(65, 0x30);
    const Stopwatch stopwatch;
    SW_CHECK(link.WriteReport(report, sw::device::kSendWriteWaitMs, true) == WriteOutcome::SendFailed);
    SW_CHECK(link.ReadReport(report) == ReadOutcome::NotReady);
    SW_CHECK(stopwatch.elapsedMs() < kPromptMs);
}

// ---------------------------------------------------------------------------------------------------------------
// Writing.

struct WriteRow {
    const char* behaviour;
    std::size_t length;
    std::uint32_t waitMs;
    bool confirm;
};

void AReportIsWrittenWholeWithReportIdZero() {
    const std::vector<WriteRow> rows = {
        {"a confirmed 65-byte query", 65, sw::device::kQueryWriteWaitMs, true},
        {"a confirmed 80-byte setting command, bytes after 64 included", 80, sw::device::kSendWriteWaitMs, true},
        {"an unconfirmed live position", 65, sw::device::kLiveWriteWaitMs, false},
    };
    for (const WriteRow& row : rows) {
        const Row named(row.behaviour);
        OpenedDevice opened({});
        std::vector<std::uint8_t> report = MakeReport(row.length, 0x41);
        const Stopwatch stopwatch;
        SW_CHECK(opened.link.WriteReport(report, row.waitMs, row.confirm) == WriteOutcome::Sent);
        SW_CHECK(stopwatch.elapsedMs() < kPromptMs);
        SW_CHECK_EQ(report[0], 0);
        SW_CHECK(opened.device.waitForReports(1, kSettleMs));
        const auto reports = opened.device.reports();
        if (SW_CHECK_EQ(reports.size(), std::size_t{1}))
            SW_CHECK(reports[0] == WithReportIdZero(MakeReport(row.length, 0x41)));
    }
}

// A device that takes nothing (pipe in-buffer 0) stalls the first write until the limit.
void AStalledWriteFailsAtItsLimitAndIsWithdrawn() {
    const std::vector<WriteRow> rows = {
        {"a query, confirmed, 500 ms", 65, sw::device::kQueryWriteWaitMs, true},
        {"a setting command, confirmed, 1000 ms", 65, sw::device::kSendWriteWaitMs, true},
        {"a live position, unconfirmed, 500 ms", 65, sw::device::kLiveWriteWaitMs, false},
    };
    for (const WriteRow& row : rows) {
        const Row named(row.behaviour);
        OpenedDevice opened({.inBufferSize = 0, .echo = false, .reading = false});
        std::vector<std::uint8_t> stalled = MakeReport(row.length, 0x11);
        const Stopwatch stopwatch;
        SW_CHECK(opened.link.WriteReport(stalled, row.waitMs, row.confirm) == WriteOutcome::SendFailed);
        const double elapsed = stopwatch.elapsedMs();
        SW_CHECK(elapsed >= row.waitMs - kEarlyMs);
        SW_CHECK(elapsed <= row.waitMs + kLateMs);
        SW_CHECK_EQ(FailedCall(opened.link), std::string("WaitForSingleObject"));
        SW_CHECK_EQ(opened.link.lastFailure().code, static_cast<unsigned long>(WAIT_TIMEOUT));

        // Once the device reads again, the next report is the first to arrive: the stalled one was withdrawn.
        opened.device.startReading();
        std::vector<std::uint8_t> next = MakeReport(row.length, 0x22);
        SW_CHECK(opened.link.WriteReport(next, sw::device::kSendWriteWaitMs, true) == WriteOutcome::Sent);
        SW_CHECK(opened.device.waitForReports(1, kSettleMs));
        const auto reports = opened.device.reports();
        if (SW_CHECK_EQ(reports.size(), std::size_t{1}))
            SW_CHECK_EQ(reports[0][1], 0x22);
    }
}

struct GoneWriteRow {
    const char* behaviour;
    bool confirm;
};

void AWriteToADeviceThatHasGoneFailsAtOnce() {
    const std::vector<GoneWriteRow> rows = {
        {"confirmed", true},
        {"unconfirmed", false},
    };
    for (const GoneWriteRow& row : rows) {
        const Row named(row.behaviour);
        OpenedDevice opened({});
        opened.device.close();
        std::vector<std::uint8_t> report = MakeReport(65, 0x30);
        const Stopwatch stopwatch;
        SW_CHECK(opened.link.WriteReport(report, sw::device::kSendWriteWaitMs, row.confirm) ==
                 WriteOutcome::SendFailed);
        SW_CHECK(stopwatch.elapsedMs() < kPromptMs);
        SW_CHECK_EQ(FailedCall(opened.link), std::string("WriteFile"));
        SW_CHECK_EQ(opened.link.lastFailure().code, static_cast<unsigned long>(ERROR_NO_DATA));
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Reading.

void AWaitingReplyIsReceived() {
    OpenedDevice opened({.echo = true});
    std::vector<std::uint8_t> query = MakeReport(65, 0x30);
    SW_CHECK(opened.link.WriteReport(query, sw::device::kQueryWriteWaitMs, true) == WriteOutcome::Sent);
    SW_CHECK(opened.device.waitForEchoes(1, kSettleMs));
    std::vector<std::uint8_t> reply(65, 0xEE);
    const Stopwatch stopwatch;
    SW_CHECK(opened.link.ReadReport(reply) == ReadOutcome::Received);
    SW_CHECK(stopwatch.elapsedMs() < kPromptMs);
    SW_CHECK(reply == WithReportIdZero(MakeReport(65, 0x30)));
    SW_CHECK_EQ(FailedCall(opened.link), std::string("(none)"));
}

void AQueryWithItsPauseReadsTheReply() {
    OpenedDevice opened({.echo = true});
    std::vector<std::uint8_t> query = MakeReport(65, 0x3F);
    SW_CHECK(opened.link.WriteReport(query, sw::device::kQueryWriteWaitMs, true) == WriteOutcome::Sent);
    const Stopwatch pause;
    opened.link.PauseForReply();
    const double paused = pause.elapsedMs();
    SW_CHECK(paused >= sw::device::kReplyPauseMs - kEarlyMs);
    SW_CHECK(paused <= sw::device::kReplyPauseMs + kLateMs);
    std::vector<std::uint8_t> reply(65);
    SW_CHECK(opened.link.ReadReport(reply) == ReadOutcome::Received);
    SW_CHECK(reply == WithReportIdZero(MakeReport(65, 0x3F)));
}

// The read the system queued for want of a report is withdrawn, so it cannot take (part of) a later reply.
void NothingWaitingIsNotReadyAndALaterReplyIsStillReadWhole() {
    OpenedDevice opened({});
    std::vector<std::uint8_t> reply(65);
    for (const char* attempt : {"first early read", "second early read", "third early read"}) {
        const Row named(attempt);
        const Stopwatch stopwatch;
        SW_CHECK(opened.link.ReadReport(reply) == ReadOutcome::NotReady);
        SW_CHECK(stopwatch.elapsedMs() < kPromptMs);
        SW_CHECK_EQ(FailedCall(opened.link), std::string("ReadFile"));
        SW_CHECK_EQ(opened.link.lastFailure().code, static_cast<unsigned long>(ERROR_IO_PENDING));
    }
    // The device's byte 0 (0xA5 here) does not survive the read: the link clears the report ID slot.
    const std::vector<std::uint8_t> late = MakeReport(65, 0x38);
    SW_CHECK(opened.device.queueReport(late));
    SW_CHECK(opened.link.ReadReport(reply) == ReadOutcome::Received);
    SW_CHECK(reply == WithReportIdZero(late));
    SW_CHECK(opened.device.reports().empty());
}

void AReadFromADeviceThatHasGoneIsNotReady() {
    OpenedDevice opened({});
    opened.device.close();
    std::vector<std::uint8_t> reply(65);
    const Stopwatch stopwatch;
    SW_CHECK(opened.link.ReadReport(reply) == ReadOutcome::NotReady);
    SW_CHECK(stopwatch.elapsedMs() < kPromptMs);
    SW_CHECK_EQ(FailedCall(opened.link), std::string("ReadFile"));
    SW_CHECK_EQ(opened.link.lastFailure().code, static_cast<unsigned long>(ERROR_BROKEN_PIPE));
}

// The handle slots a run of fresh events lands in. Wine's GetProcessHandleCount always reports 0, but Wine hands
// out the lowest free handle slots, so the same run lands in the same slots again only if nothing made in between
// was left open.
std::vector<HANDLE> ProbeFreeHandleSlots() {
    std::vector<HANDLE> slots(8);
    for (HANDLE& slot : slots)
        slot = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (HANDLE slot : slots)
        CloseHandle(slot);
    return slots;
}

// Every step makes its own event; none may be left behind, whichever way the step ended.
void EveryStepReleasesItsEvent() {
    OpenedDevice opened({.inBufferSize = 0, .echo = false, .reading = false});
    std::vector<std::uint8_t> report = MakeReport(65, 0x30);
    std::vector<std::uint8_t> reply(65);
    const std::vector<HANDLE> before = ProbeFreeHandleSlots();

    SW_CHECK(opened.link.WriteReport(report, 50, true) == WriteOutcome::SendFailed);
    SW_CHECK(opened.link.WriteReport(report, 50, false) == WriteOutcome::SendFailed);
    SW_CHECK(opened.link.ReadReport(reply) == ReadOutcome::NotReady);
    opened.device.startReading();
    SW_CHECK(opened.link.WriteReport(report, sw::device::kSendWriteWaitMs, true) == WriteOutcome::Sent);
    SW_CHECK(opened.link.WriteReport(report, sw::device::kLiveWriteWaitMs, false) == WriteOutcome::Sent);
    SW_CHECK(opened.device.queueReport(report));
    SW_CHECK(opened.link.ReadReport(reply) == ReadOutcome::Received);

    const std::vector<HANDLE> after = ProbeFreeHandleSlots();
    if (!SW_CHECK(after == before))
        for (std::size_t i = 0; i < before.size(); ++i)
            std::printf("    slot %zu: %p before, %p after\n", i, before[i], after[i]);
}

// A named mutex belongs to its thread: another thread stands in for another program.
struct LockAttempt {
    const char* path;
    std::uint32_t waitMs;
    sw::device::BoxLock::Outcome outcome;
};

DWORD WINAPI TryTheLock(LPVOID parameter) {
    auto* attempt = static_cast<LockAttempt*>(parameter);
    attempt->outcome = sw::device::BoxLock::acquire(attempt->path, attempt->waitMs).outcome();
    return 0;
}

sw::device::BoxLock::Outcome TryTheLockElsewhere(const char* path, std::uint32_t waitMs) {
    LockAttempt attempt{path, waitMs, sw::device::BoxLock::Outcome::Failed};
    HANDLE thread = CreateThread(nullptr, 0, TryTheLock, &attempt, 0, nullptr);
    if (!SW_CHECK(thread != nullptr))
        return attempt.outcome;
    SW_CHECK(WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0);
    CloseHandle(thread);
    return attempt.outcome;
}

// One holder at a time, whatever the case of the path; let go when its owner goes.
void TheBoxLockHasOneHolderAtATime() {
    using Outcome = sw::device::BoxLock::Outcome;
    const char* path = "\\\\?\\hid#vid_3c9b&pid_5d17#7&lock&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    const char* samePathOtherCase = "\\\\?\\HID#VID_3C9B&PID_5D17#7&LOCK&0&0000#{4D1E55B2-F16F-11CF-88CB-001111000030}";
    {
        const sw::device::BoxLock held = sw::device::BoxLock::acquire(path, 0);
        SW_CHECK(held.held());
        const DWORD start = GetTickCount();
        SW_CHECK(TryTheLockElsewhere(samePathOtherCase, 200) == Outcome::Busy);
        SW_CHECK(GetTickCount() - start >= 150);
        SW_CHECK(TryTheLockElsewhere("\\\\?\\hid#vid_3c9b&pid_5d17#another-box", 0) == Outcome::Taken);
    }
    SW_CHECK(TryTheLockElsewhere(path, 0) == Outcome::Taken);
}

}  // namespace

int main() {
    static const sw::wine_test::Case cases[] = {
        {"the OS doubles are loaded from beside the exe", TheOsDoublesAreLoadedFromBesideTheExe},
        {"the setupapi double refuses record sizes of another layout",
         TheSetupApiDoubleRefusesRecordSizesOfAnotherLayout},
        {"discovery finds the first matching present interface", FindsTheFirstMatchingPresentInterface},
        {"opening a path with no device behind it fails", OpeningAPathWithNoDeviceBehindItFails},
        {"the discovered path opens the device", TheDiscoveredPathOpensTheDevice},
        {"Close releases the device and a second Close is harmless", CloseReleasesTheDeviceAndASecondCloseIsHarmless},
        {"destroying the link closes the device", DestroyingTheLinkClosesTheDevice},
        {"opening again closes the previous device", OpeningAgainClosesThePreviousDevice},
        {"report lengths come from the capabilities", ReportLengthsComeFromTheCapabilities},
        {"without an open device every step fails at once", WithoutAnOpenDeviceEveryStepFails},
        {"a report is written whole with report ID 0", AReportIsWrittenWholeWithReportIdZero},
        {"a stalled write fails at its limit and is withdrawn", AStalledWriteFailsAtItsLimitAndIsWithdrawn},
        {"a write to a device that has gone fails at once", AWriteToADeviceThatHasGoneFailsAtOnce},
        {"a waiting reply is received", AWaitingReplyIsReceived},
        {"a query with its pause reads the reply", AQueryWithItsPauseReadsTheReply},
        {"nothing waiting is NotReady and a later reply is still read whole",
         NothingWaitingIsNotReadyAndALaterReplyIsStillReadWhole},
        {"a read from a device that has gone is NotReady", AReadFromADeviceThatHasGoneIsNotReady},
        {"every step releases its event", EveryStepReleasesItsEvent},
        {"the box lock has one holder at a time", TheBoxLockHasOneHolderAtATime},
    };
    return sw::wine_test::RunAll(cases);
}
