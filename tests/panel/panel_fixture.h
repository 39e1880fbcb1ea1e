#pragma once
// The panel wired to the fake dialog and the simulated device on one virtual clock.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "panel/control_ids.h"
#include "panel/main_panel.h"
#include "sim/ot40_model.h"
#include "sim/sim_device_link.h"
#include "sim/virtual_clock.h"
#include "tests/panel/box_lock_double.h"
#include "tests/panel/fake_dialog.h"

namespace sw::test {

// Forwards to the simulated link and lets a test act before each write (a fault that starts at one command,
// a mouse click made while the panel is blocked).
class HookedLink final : public device::DeviceLink {
public:
    explicit HookedLink(sim::SimDeviceLink& inner) : inner_(inner) {}

    // Called before each write with its 0-based index among all writes since the hook was set.
    void onWrite(std::function<void(int)> hook) {
        hook_ = std::move(hook);
        writes_ = 0;
    }

    bool FindDevicePath(std::uint16_t v, std::uint16_t p, std::string& path) override {
        return inner_.FindDevicePath(v, p, path);
    }
    bool Open(const std::string& path) override { return inner_.Open(path); }
    bool IsOpen() const override { return inner_.IsOpen(); }
    bool GetReportLengths(std::uint16_t* in, std::uint16_t* out) override { return inner_.GetReportLengths(in, out); }
    void Close() override { inner_.Close(); }
    device::WriteOutcome WriteReport(std::span<std::uint8_t> report, std::uint32_t waitMs, bool confirm) override {
        if (hook_)
            hook_(writes_);
        ++writes_;
        lastWaitMs = waitMs;
        lastConfirm = confirm;
        return inner_.WriteReport(report, waitMs, confirm);
    }
    void PauseForReply() override { inner_.PauseForReply(); }
    device::ReadOutcome ReadReport(std::span<std::uint8_t> reply) override { return inner_.ReadReport(reply); }

    std::uint32_t lastWaitMs = 0;
    bool lastConfirm = false;

private:
    sim::SimDeviceLink& inner_;
    std::function<void(int)> hook_;
    int writes_ = 0;
};

// Everything a flow test drives; usable as a fixture (PanelTest) or inside a table row.
struct PanelBench {
    PanelBench() {
        panel.setBoxLocker(boxLock.locker());
        dialog.attach(panel);
        panel.OnInitDialog();
    }

    // Connects and runs the read-back, then lets the loop run so queued input is handled.
    void connect() {
        dialog.click(panel::IDC_CONNECT);
        dialog.RunFor(0);
    }

    // The codes (byte 1) of every report the device received, in order.
    std::vector<int> wireCodes() const {
        std::vector<int> codes;
        for (const auto& entry : model.wireLog())
            codes.push_back(entry.bytes.size() > 1 ? entry.bytes[1] : -1);
        return codes;
    }

    void setFault(const std::function<void(sim::Faults&)>& change) {
        sim::Faults faults = model.faults();
        change(faults);
        model.setFaults(faults);
    }

    // Makes the device stall every write from the next one on.
    void stallNextWrites() {
        const std::uint32_t next = model.receivedCount() + 1;
        setFault([next](sim::Faults& f) { f.stallFrom = next; });
    }

    sim::VirtualClock clock;
    sim::Ot40Model model;
    sim::SimDeviceLink simLink{clock, model};
    HookedLink link{simLink};
    FakeDialog dialog{clock};
    BoxLockDouble boxLock{clock, link};
    panel::MainPanel panel{dialog, link};
};

class PanelTest : public ::testing::Test, public PanelBench {};

// Full-width cells of an ASCII text as the device stores them (A..Z, 0..9 only).
inline sim::RowCells fullwidthCells(std::string_view ascii) {
    sim::RowCells cells{};
    for (std::size_t i = 0; i < ascii.size() && i < 16; ++i) {
        const char c = ascii[i];
        cells[2 * i] = 0x82;
        cells[2 * i + 1] = static_cast<std::uint8_t>(c >= 'A' ? 0x60 + (c - 'A') : 0x4F + (c - '0'));
    }
    return cells;
}

}  // namespace sw::test
