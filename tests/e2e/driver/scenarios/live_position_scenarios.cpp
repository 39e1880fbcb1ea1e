// Live position adjustment with real input: keys typed into the focused position edit and clicks on the up-down
// arrows reach the device as position commands, the last one always carrying the value the edit ends with.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "panel/control_ids.h"
#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/connected_panel.h"
#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/hosted_device.h"
#include "tests/e2e/driver/real_input.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/wire_frames.h"

namespace sw::e2e {
namespace {

using namespace sw::panel;

constexpr std::uint8_t kSetH = 0x20;
constexpr std::uint8_t kSetV = 0x21;

// Waits until the edit shows `text` and the last position command of `code` carries `value`.
bool waitForLivePosition(const RemoteDialog& dialog,
                         HostedDevice& device,
                         int edit,
                         std::uint8_t code,
                         const std::string& text,
                         int value) {
    return waitFor(kReactionLimit, [&] {
        const auto last = lastWithCode(device.wireLog(), code);
        return last && carriedPosition(*last) == value && dialog.text(edit) == std::optional<std::string>(text);
    });
}

// Every live command is a whole report of `code` and its position, nothing else; returns the positions carried.
std::vector<int> checkLiveCommands(const std::vector<sim::WireEntry>& entries, std::uint8_t code) {
    std::vector<int> positions;
    for (const auto& entry : entries) {
        const int position = carriedPosition(entry).value_or(-1);
        positions.push_back(position);
        const auto high = static_cast<std::uint8_t>((position >> 8) & 0xFF);
        const auto low = static_cast<std::uint8_t>(position & 0xFF);
        CHECK_EQ(hexBytes(entry.bytes), hexBytes(commandFrame(code, {high, low})));
    }
    return positions;
}

bool isOneOf(int value, const std::vector<int>& allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

}  // namespace

SW_SCENARIO(live_typing_sends_position,
            "keys typed into the focused H edit go out within moments; above 2047 the "
            "edit shows 2047 and 07 FF goes out") {
    HostedDevice device;
    auto panel = startDeviceAndConnectedPanel(context, device);
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;
    if (!CHECK(bringToFront(dialog.window())))
        return;
    CHECK(clickAt(pointInControl(dialog, IDC_H_EDIT, 0.5, 0.5)));
    if (!CHECK(waitFor(kReactionLimit, [&] { return dialog.focus() == dialog.item(IDC_H_EDIT); })))
        return;
    // Focusing the edit sends nothing; only a change does.
    CHECK_EQ(device.reportsReceived(), kQueriesPerPass);

    struct TypingCase {
        const char* keys;
        const char* shows;
        int sent;
        // What any command before the last may carry: the edit is sampled when the timer fires, mid-typing.
        std::vector<int> sampled;
    };
    const TypingCase cases[] = {
        {"123", "123", 123, {1, 12, 123}},
        {"3000", "2047", 2047, {3, 30, 300, 2047}},
    };
    for (const auto& typing : cases) {
        beginCase("select all, type %s", typing.keys);
        CheckContext about(typing.keys);
        const std::uint32_t before = device.reportsReceived();
        CHECK(selectWholeText(dialog, IDC_H_EDIT));
        CHECK(typeKeys(typing.keys));
        CHECK(waitForLivePosition(dialog, device, IDC_H_EDIT, kSetH, typing.shows, typing.sent));
        const auto positions = checkLiveCommands(entriesFrom(device.wireLog(), before), kSetH);
        if (!CHECK(!positions.empty()))
            continue;
        CHECK_EQ(positions.back(), typing.sent);
        for (const int position : positions) {
            CheckContext sample("sent " + std::to_string(position));
            CHECK(isOneOf(position, typing.sampled));
        }
        // The caret stands after the last digit, so typing on appends.
        const int length = static_cast<int>(std::string(typing.shows).size());
        CHECK_EQ(textSelection(dialog, IDC_H_EDIT), std::optional(std::pair{length, length}));
    }
    closePanel(*panel);
}

SW_SCENARIO(live_up_down_arrows_step_position,
            "mouse clicks on the up-down arrows step the position by one and each new value goes out") {
    HostedDevice device;
    auto panel = startDeviceAndConnectedPanel(context, device);
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;
    if (!CHECK(bringToFront(dialog.window())))
        return;

    struct ArrowCase {
        const char* arrow;
        int upDown;
        double acrossX;  // where on the up-down the arrow lies
        double downY;
        int edit;
        std::uint8_t code;
        int step;
    };
    // The read-back left H at 100 and V at 50. V counts toward 0 with its upper arrow (its range is reversed);
    // H counts toward 2047 with its right-hand arrow.
    const ArrowCase cases[] = {
        {"the V up-down's upper arrow", IDC_V_UPDOWN, 0.5, 0.25, IDC_V_EDIT, kSetV, -1},
        {"the V up-down's lower arrow", IDC_V_UPDOWN, 0.5, 0.75, IDC_V_EDIT, kSetV, +1},
        {"the H up-down's right arrow", IDC_H_UPDOWN, 0.75, 0.5, IDC_H_EDIT, kSetH, +1},
        {"the H up-down's left arrow", IDC_H_UPDOWN, 0.25, 0.5, IDC_H_EDIT, kSetH, -1},
    };
    constexpr int kClicksPerArrow = 3;
    for (const auto& arrow : cases) {
        beginCase("%s", arrow.arrow);
        CheckContext about(arrow.arrow);
        const std::uint32_t before = device.reportsReceived();
        const auto start = dialog.text(arrow.edit);
        if (!CHECK(start.has_value()))
            return;
        int value = std::atoi(start->c_str());
        for (int click = 0; click < kClicksPerArrow; ++click) {
            value += arrow.step;
            CHECK(clickAt(pointInControl(dialog, arrow.upDown, arrow.acrossX, arrow.downY)));
            // The click gives the edit the focus before it changes its text, so the change goes out live.
            if (!CHECK(waitForLivePosition(dialog, device, arrow.edit, arrow.code, std::to_string(value), value)))
                break;
            CHECK(dialog.focus() == dialog.item(arrow.edit));
        }
        const auto positions = checkLiveCommands(entriesFrom(device.wireLog(), before), arrow.code);
        CHECK_EQ(positions.size(), static_cast<std::size_t>(kClicksPerArrow));
    }
    closePanel(*panel);
}

}  // namespace sw::e2e
