// Benchmarks of the read-back, the send and the live position, measured against the unmodified panel under Wine
// with the simulated device hosted in the driver. The device stamps each report it takes off its wire; those
// stamps are on the driver's clock to within a millisecond.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "panel/control_ids.h"
#include "tests/e2e/driver/benchmark.h"
#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/connected_panel.h"
#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/hosted_device.h"
#include "tests/e2e/driver/panel_texts.h"
#include "tests/e2e/driver/process_handles.h"
#include "tests/e2e/driver/real_input.h"
#include "tests/e2e/driver/wire_frames.h"

namespace sw::e2e {
namespace {

using namespace sw::panel;

// Six queries, each followed by the panel's fixed 500 ms pause before its read: no pass can be shorter.
constexpr double kReadBackFloorMs = 6 * 500.0;
// The live timer's 100 ms delay is the floor of the live position latency.
constexpr double kLiveTargetMs = 115;
constexpr double kSendSpreadTargetMs = 50;
constexpr Millis kMeasurePoll{1};

// The status text of a read-back of the default device showing OSD pattern `pattern` (its 1280×720 signal and
// its banner row draw no range warning).
std::string statusForPattern(int pattern) {
    return "OSDパターン" + std::to_string(pattern) + "を受信しました。\n入力解像度は1280×720（p）です。";
}

void printSpread(const char* what, const std::vector<double>& values, const char* unit) {
    const Spread spread = spreadOf(values);
    std::printf("%s: min %.1f %s, median %.1f %s, max %.1f %s (%zu runs)\n", what, spread.minimum, unit, spread.median,
                unit, spread.maximum, unit, values.size());
}

}  // namespace

SW_BENCHMARK(read_back_wall_time,
             "a posted Connect click to the read-back's final status text, against its floor of 6 x 500 ms",
             7) {
    HostedDevice device;
    auto panel = startDeviceAndPanel(context, device);
    if (!panel)
        return 1;
    const RemoteDialog& dialog = panel->dialog;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        // Each pass ends in another text than the one before, so the end of this pass cannot be mistaken.
        const int pattern = 1 + run % 2;
        device.setSignal(sim::InputSignal{.osdPattern = pattern});
        const std::string expected = statusForPattern(pattern);
        const double started = preciseNowMs();
        if (!CHECK(PostMessageA(dialog.item(IDC_CONNECT), BM_CLICK, 0, 0)))
            return 1;
        // While the pass runs the read waits for the panel; it is answered the moment the pass has ended.
        if (!CHECK(waitFor(
                kReadBackLimit, [&] { return dialog.text(IDC_STATUS) == std::optional<std::string>(expected); },
                kMeasurePoll)))
            return 1;
        const double elapsed = preciseNowMs() - started;
        std::printf("run %d: %.1f ms (ratio %.3f)\n", run + 1, elapsed, elapsed / kReadBackFloorMs);
        times.push_back(elapsed);
    }
    const Spread spread = spreadOf(times);
    printSpread("read-back wall time", times, "ms");
    std::printf("ratio to the %.0f ms floor: min %.3f, median %.3f\n", kReadBackFloorMs,
                spread.minimum / kReadBackFloorMs, spread.median / kReadBackFloorMs);
    closePanel(*panel);
    return 0;
}

SW_BENCHMARK(receive_pass_handles, "kernel handles held by the panel before and after many receive passes", 200) {
    HostedDevice device;
    auto panel = startDeviceAndConnectedPanel(context, device);
    if (!panel)
        return 1;
    const RemoteDialog& dialog = panel->dialog;
    const DWORD id = panel->process.id();
    const std::string status = statusForPattern(1);
    const auto before = kernelHandleCount(id);
    if (!CHECK(before.has_value()))
        return 1;
    std::printf("handles after the connect: %ld\n", *before);
    const double started = preciseNowMs();
    constexpr int kReportEvery = 25;
    for (int pass = 1; pass <= runs; ++pass) {
        if (!CHECK(dialog.click(IDC_RECEIVE)) || !CHECK_EQ(dialog.text(IDC_STATUS), std::optional<std::string>(status)))
            return 1;
        if (pass % kReportEvery == 0 || pass == runs)
            std::printf("after %d passes (%.0f s): %ld handles\n", pass, (preciseNowMs() - started) / 1000,
                        kernelHandleCount(id).value_or(-1));
    }
    const auto after = kernelHandleCount(id);
    CHECK_EQ(device.reportsReceived(), kQueriesPerPass * static_cast<std::uint32_t>(runs + 1));
    std::printf("handles: %ld before, %ld after %d receive passes\n", *before, after.value_or(-1), runs);
    closePanel(*panel);
    return 0;
}

SW_BENCHMARK(live_position_latency, "a key press in the focused H edit to its SetHPosition on the wire", 30) {
    HostedDevice device;
    auto panel = startDeviceAndConnectedPanel(context, device);
    if (!panel)
        return 1;
    const RemoteDialog& dialog = panel->dialog;
    if (!CHECK(bringToFront(dialog.window())) || !CHECK(clickAt(pointInControl(dialog, IDC_H_EDIT, 0.5, 0.5))) ||
        !CHECK(waitFor(kReactionLimit, [&] { return dialog.focus() == dialog.item(IDC_H_EDIT); })))
        return 1;
    std::vector<double> latencies;
    for (int run = 0; run < runs; ++run) {
        // One digit replacing the whole text: each run's value differs from the one before.
        const int digit = 1 + run % 9;
        if (!CHECK(selectWholeText(dialog, IDC_H_EDIT)))
            return 1;
        const std::uint32_t before = device.reportsReceived();
        const double pressed = preciseNowMs();
        if (!CHECK(pressKey(static_cast<WORD>('0' + digit))))
            return 1;
        std::optional<sim::WireEntry> sent;
        if (!CHECK(waitFor(
                kReactionLimit,
                [&] {
                    sent = lastWithCode(entriesFrom(device.wireLog(), before), 0x20);
                    return sent && carriedPosition(*sent) == digit;
                },
                kMeasurePoll)))
            return 1;
        latencies.push_back(device.driverTimeMs(*sent) - pressed);
    }
    printSpread("key press to SetHPosition on the wire", latencies, "ms");
    std::printf("target: median <= %.0f ms\n", kLiveTargetMs);
    closePanel(*panel);
    return 0;
}

SW_BENCHMARK(send_command_spread, "the first to the last of a send's eight commands on the wire", 7) {
    HostedDevice device;
    auto panel = startDeviceAndConnectedPanel(context, device);
    if (!panel)
        return 1;
    const RemoteDialog& dialog = panel->dialog;
    std::vector<double> spreads;
    std::vector<double> fromClick;
    for (int run = 0; run < runs; ++run) {
        const std::uint32_t before = device.reportsReceived();
        const double clicked = preciseNowMs();
        if (!CHECK(dialog.click(IDC_SEND)) || !CHECK(device.waitForReports(before + 8)))
            return 1;
        const auto sent = entriesFrom(device.wireLog(), before);
        spreads.push_back(static_cast<double>(sent.back().time - sent.front().time));
        fromClick.push_back(device.driverTimeMs(sent.back()) - clicked);
        // Each send starts from an idle panel: its completion comes first.
        if (!CHECK(dialog.waitForText(IDC_STATUS, kSent)))
            return 1;
    }
    printSpread("first to last command on the wire", spreads, "ms");
    printSpread("click to the last command on the wire", fromClick, "ms");
    std::printf("target: first to last <= %.0f ms\n", kSendSpreadTargetMs);
    closePanel(*panel);
    return 0;
}

}  // namespace sw::e2e
