// Finding, opening and sizing the device through the panel's real SetupAPI and HID code, with the OS doubles
// listing the interfaces and the simulated device served on named pipes.

#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "panel/control_ids.h"
#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/hosted_device.h"
#include "tests/e2e/driver/panel.h"
#include "tests/e2e/driver/panel_texts.h"
#include "tests/e2e/driver/scenario.h"

namespace sw::e2e {
namespace {

using namespace sw::panel;

// The controls that are enabled only while a device is open; listed here rather than taken from the panel's
// code, so that a member missing there shows up as a failure.
constexpr int kDeviceControls[] = {
    IDC_SEND,    IDC_RECEIVE, IDC_ROW1,     IDC_ROW2,    IDC_DEVICE_TEXT, IDC_H_EDIT,  IDC_V_EDIT,
    IDC_COLOUR1, IDC_COLOUR2, IDC_HALFTONE, IDC_SIZE_X1, IDC_SIZE_X2,     IDC_SIZE_X3, IDC_SIZE_X4,
};

// Checks the enabled state of every device control: Send by `send`, the other thirteen by `others`.
void checkDeviceControls(const RemoteDialog& dialog, bool send, bool others) {
    for (const int id : kDeviceControls) {
        CheckContext about("control " + std::to_string(id));
        CHECK_EQ(dialog.enabled(id), id == IDC_SEND ? send : others);
    }
}

struct ConnectCase {
    const char* what;
    EnvOverrides env;
    // Pipes served while the panel connects: a wrongly matched path would then open, not fail to.
    std::vector<std::string> served;
};

// Runs one connect with the doubles set up by `connect.env` and checks that it ends with `status`, all
// DeviceControls disabled and no report written to any served device. Returns the served devices' open counts.
std::vector<int> connectExpectingFailure(const ScenarioContext& context,
                                         const ConnectCase& connect,
                                         const char* status) {
    beginCase("%s", connect.what);
    std::vector<std::unique_ptr<HostedDevice>> devices;
    for (const auto& path : connect.served) {
        devices.push_back(std::make_unique<HostedDevice>(path));
        if (!CHECK(devices.back()->start()))
            return {};
    }
    auto panel = startPanel(context, {connect.env, std::nullopt});
    if (!panel)
        return {};
    CHECK(panel->dialog.click(IDC_CONNECT));
    CHECK_EQ(panel->dialog.text(IDC_STATUS), std::optional<std::string>(status));
    checkDeviceControls(panel->dialog, false, false);
    std::vector<int> opens;
    for (auto& device : devices) {
        CHECK_EQ(device->reportsReceived(), 0u);
        opens.push_back(device->opens());
    }
    closePanel(*panel);
    return opens;
}

}  // namespace

SW_SCENARIO(connect_without_matching_device_reports_not_found,
            "no present interface path holds vid_3c9b&pid_5d17: \"not found\", nothing opened") {
    const ConnectCase cases[] = {
        {"no HID interface at all", {{"SW_DOUBLE_HID_PATHS", "none"}}, {}},
        {"another product's interface",
         {{"SW_DOUBLE_HID_PATHS", "\\\\.\\pipe\\hid#vid_046d&pid_c52b#other"}},
         {"\\\\.\\pipe\\hid#vid_046d&pid_c52b#other"}},
        // The match is case-sensitive; the pipe behind the path is served, so a wrong match would connect.
        {"the IDs in upper-case hexadecimal",
         {{"SW_DOUBLE_HID_PATHS", "\\\\.\\pipe\\hid#VID_3C9B&PID_5D17#sim0"}},
         {"\\\\.\\pipe\\hid#VID_3C9B&PID_5D17#sim0"}},
        {"the vendor and product ID swapped",
         {{"SW_DOUBLE_HID_PATHS", "\\\\.\\pipe\\hid#vid_5d17&pid_3c9b#sim0"}},
         {"\\\\.\\pipe\\hid#vid_5d17&pid_3c9b#sim0"}},
        {"the interface set cannot be created", {{"SW_DOUBLE_CLASSDEVS_FAIL", "1"}}, {kDevicePath0}},
        {"the only matching interface's detail cannot be fetched", {{"SW_DOUBLE_DETAIL_FAIL", "0"}}, {kDevicePath0}},
    };
    for (const auto& connect : cases) {
        for (const int opens : connectExpectingFailure(context, connect, kProductNotFound))
            CHECK_EQ(opens, 0);
    }
}

SW_SCENARIO(connect_opens_first_matching_interface,
            "of two matching interfaces the first in enumeration order is opened and queried") {
    const std::string path0 = kDevicePath0;
    const std::string path1 = kDevicePath1;
    struct Order {
        const char* what;
        EnvOverrides env;
        int expectedIndex;  // which of the devices at kDevicePath0 and kDevicePath1 is opened and queried
    };
    const Order orders[] = {
        {"sim0 listed first", {{"SW_DOUBLE_HID_PATHS", path0 + "|" + path1}}, 0},
        {"sim1 listed first", {{"SW_DOUBLE_HID_PATHS", path1 + "|" + path0}}, 1},
        // An interface whose detail cannot be fetched is passed over, not reported.
        {"sim0 listed first, its detail cannot be fetched",
         {{"SW_DOUBLE_HID_PATHS", path0 + "|" + path1}, {"SW_DOUBLE_DETAIL_FAIL", "0"}},
         1},
    };
    for (const auto& order : orders) {
        beginCase("%s", order.what);
        CheckContext about(order.what);
        HostedDevice devices[] = {HostedDevice(path0), HostedDevice(path1)};
        if (!CHECK(devices[0].start()) || !CHECK(devices[1].start()))
            return;
        auto panel = startPanel(context, {order.env, std::nullopt});
        if (!panel)
            return;
        CHECK(panel->dialog.click(IDC_CONNECT));
        HostedDevice& chosen = devices[order.expectedIndex];
        HostedDevice& other = devices[1 - order.expectedIndex];
        CHECK_EQ(chosen.opens(), 1);
        CHECK(chosen.reportsReceived() > 0u);
        CHECK_EQ(other.opens(), 0);
        CHECK_EQ(other.reportsReceived(), 0u);
        checkDeviceControls(panel->dialog, true, true);
        closePanel(*panel);
    }
}

SW_SCENARIO(connect_matches_path_with_further_segments,
            "a path that carries an interface number after the product ID still matches") {
    const std::string path = "\\\\.\\pipe\\hid#vid_3c9b&pid_5d17&mi_00#7&1a2b3c4d&0&0000#sim0";
    HostedDevice device(path);
    if (!CHECK(device.start()))
        return;
    auto panel = startPanel(context, {{{"SW_DOUBLE_HID_PATHS", path}}, std::nullopt});
    if (!panel)
        return;
    CHECK(panel->dialog.click(IDC_CONNECT));
    CHECK_EQ(device.opens(), 1);
    CHECK(device.reportsReceived() > 0u);
    checkDeviceControls(panel->dialog, true, true);
    closePanel(*panel);
}

SW_SCENARIO(connect_open_failure_reports_found_but_not_connected,
            "the first matching path cannot be opened: \"found, but connecting failed\"") {
    const std::string path0 = kDevicePath0;
    const std::string path1 = kDevicePath1;
    const ConnectCase alone{"a matching path without a device behind it", {{"SW_DOUBLE_HID_PATHS", path0}}, {}};
    connectExpectingFailure(context, alone, kOpenFailed);
    // Only the first match is tried: a second matching interface that would open is never looked at.
    const ConnectCase firstOfTwo{
        "the first of two matching paths without a device", {{"SW_DOUBLE_HID_PATHS", path0 + "|" + path1}}, {path1}};
    for (const int opens : connectExpectingFailure(context, firstOfTwo, kOpenFailed))
        CHECK_EQ(opens, 0);
}

SW_SCENARIO(connect_again_after_device_gone_ends_disconnected,
            "a connect while connected closes the device first; if it cannot be opened again all is disabled") {
    auto device = std::make_unique<HostedDevice>();
    if (!CHECK(device->start()))
        return;
    auto panel = startPanel(context);
    if (!panel)
        return;
    CHECK(panel->dialog.click(IDC_CONNECT));
    CHECK_EQ(device->opens(), 1);
    checkDeviceControls(panel->dialog, true, true);

    // The device goes away: its path is still listed, but nothing answers behind it.
    device.reset();
    CHECK(panel->dialog.click(IDC_CONNECT));
    CHECK_EQ(panel->dialog.text(IDC_STATUS), std::optional<std::string>(kOpenFailed));
    checkDeviceControls(panel->dialog, false, false);
    closePanel(*panel);
}

SW_SCENARIO(connect_capability_failure_reports_report_size,
            "the device opens but its capabilities cannot be read: \"getting the report size failed\"") {
    const ConnectCase cases[] = {
        {"HidP_GetCaps answers HIDP_STATUS_INVALID_PREPARSED_DATA",
         {{"SW_DOUBLE_CAPS_STATUS", "C0110001"}},
         {kDevicePath0}},
        {"HidP_GetCaps answers 0", {{"SW_DOUBLE_CAPS_STATUS", "0"}}, {kDevicePath0}},
        {"HidD_GetPreparsedData fails", {{"SW_DOUBLE_PREPARSED_FAIL", "1"}}, {kDevicePath0}},
    };
    for (const auto& connect : cases) {
        // The device was opened (and stays open until the next connect); it was asked nothing.
        for (const int opens : connectExpectingFailure(context, connect, kReportSizeFailed))
            CHECK_EQ(opens, 1);
    }
}

SW_SCENARIO(connect_enables_device_controls_by_report_lengths,
            "Send follows the output report length, the other 13 DeviceControls the input length") {
    struct LengthCase {
        const char* caps;
        bool send;
        bool others;
    };
    const LengthCase cases[] = {{"65,0", false, true}, {"0,65", true, false}, {"65,65", true, true}};
    for (const auto& lengths : cases) {
        beginCase("input,output = %s", lengths.caps);
        CheckContext about(std::string("input,output = ") + lengths.caps);
        HostedDevice device;
        if (!CHECK(device.start()))
            return;
        auto panel = startPanel(context, {{{"SW_DOUBLE_CAPS", lengths.caps}}, std::nullopt});
        if (!panel)
            return;
        CHECK(panel->dialog.click(IDC_CONNECT));
        CHECK_EQ(device.opens(), 1);
        checkDeviceControls(panel->dialog, lengths.send, lengths.others);
        // The connect never touches the controls outside DeviceControls.
        for (const int id : {IDC_PRODUCT, IDC_CONNECT, IDC_CLOSE, IDC_H_UPDOWN, IDC_V_UPDOWN})
            CHECK(panel->dialog.enabled(id));
        closePanel(*panel);
    }
}

}  // namespace sw::e2e
