// The colour swatches beside the row edits: they outlast a repaint of the dialog, and keep their proportions on a
// screen of another DPI.

#include <windows.h>

#include <optional>

#include "panel/control_ids.h"
#include "sim/ot40_model.h"
#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/connected_panel.h"
#include "tests/e2e/driver/cover_window.h"
#include "tests/e2e/driver/hosted_device.h"
#include "tests/e2e/driver/panel.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/screen_dpi.h"
#include "tests/e2e/driver/screen_pixels.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/swatches.h"

namespace sw::e2e {
namespace {

using namespace sw::panel;

constexpr int kRow1Colour = 9;   // 青
constexpr int kRow2Colour = 10;  // ライム

void setSwatchColours(HostedDevice& device) {
    sim::Ot40Settings settings = sim::defaultSettings();
    settings.colour1 = kRow1Colour;
    settings.colour2 = kRow2Colour;
    device.setSettings(settings);
}

// The screen pixel in the middle of the swatch beside `rowEdit`.
std::optional<Rgb> swatchMiddle(const RemoteDialog& dialog, int rowEdit, const SwatchGaps& gaps) {
    const auto image = ClientImage::capture(dialog.window());
    if (!image)
        return std::nullopt;
    const RECT edit = rectInParentClient(dialog.window(), dialog.item(rowEdit));
    return image->at(edit.left - (gaps.nearGap + gaps.farGap) / 2, (edit.top + edit.bottom) / 2);
}

bool waitForSwatch(const RemoteDialog& dialog, int rowEdit, Rgb colour, const SwatchGaps& gaps = {}) {
    return waitFor(kReactionLimit, [&] { return swatchMiddle(dialog, rowEdit, gaps) == colour; });
}

// Connects (the read-back paints the swatches) and checks both swatches, drawn with `gaps`, against the dialog
// as it was before.
void connectAndCheckSwatches(const ScenarioContext& context,
                             const RemoteDialog& dialog,
                             const SwatchGaps& gaps,
                             const char* imageName) {
    CHECK(dialog.waitPainted());
    const auto before = ClientImage::capture(dialog.window());
    CHECK(dialog.click(IDC_CONNECT));
    CHECK(waitForSwatch(dialog, IDC_ROW2, paletteColour(kRow2Colour), gaps));
    CHECK(dialog.waitPainted());
    const auto after = ClientImage::capture(dialog.window());
    CHECK(saveWindowImage(dialog.window(), context.outDir + imageName));
    if (!CHECK(before.has_value()) || !CHECK(after.has_value()))
        return;
    checkSwatch(dialog, IDC_ROW1, paletteColour(kRow1Colour), *before, *after, gaps);
    checkSwatch(dialog, IDC_ROW2, paletteColour(kRow2Colour), *before, *after, gaps);
}

// Two ways the operator has the dialog repainted. Wine keeps the pixels of a window that another one covered and
// puts them back itself, so under Wine only minimising and restoring makes the dialog paint anew; on a desktop
// without composition both do.
void layAWindowOverIt(const RemoteDialog& dialog) {
    RECT dialogRect{};
    GetWindowRect(dialog.window(), &dialogRect);
    CoverWindow cover(dialogRect);
    CHECK(cover.shown());
    const Rgb covered{GetRValue(kCoverColour), GetGValue(kCoverColour), GetBValue(kCoverColour)};
    CHECK(waitForSwatch(dialog, IDC_ROW1, covered));  // the swatch is hidden while the window lies over it
}

void minimiseAndRestore(const RemoteDialog& dialog) {
    ShowWindow(dialog.window(), SW_MINIMIZE);
    CHECK(waitFor(kReactionLimit, [&] { return IsIconic(dialog.window()) != FALSE; }));
    ShowWindow(dialog.window(), SW_RESTORE);
    CHECK(waitFor(kReactionLimit, [&] { return IsIconic(dialog.window()) == FALSE; }));
}

}  // namespace

SW_SCENARIO(swatches_outlast_a_repaint_of_the_dialog,
            "covered and uncovered, minimised and restored: the last read-back's swatches show again, not a pick") {
    HostedDevice device;
    auto panel = startDeviceAndPanel(context, device, setSwatchColours);
    if (!panel)
        return;
    const RemoteDialog& dialog = panel->dialog;
    CHECK(dialog.waitPainted());
    const auto before = ClientImage::capture(dialog.window());
    CHECK(dialog.click(IDC_CONNECT));
    CHECK(waitForSwatch(dialog, IDC_ROW1, paletteColour(kRow1Colour)));
    // A colour picked in a list is not the device's until the next send: the repaint keeps the read-back's.
    CHECK(dialog.send(IDC_COLOUR1, CB_SETCURSEL, 15).has_value());

    const struct {
        const char* name;
        void (*repaint)(const RemoteDialog&);
    } repaints[] = {{"a window laid over the dialog and taken away", layAWindowOverIt},
                    {"minimised and restored", minimiseAndRestore}};
    for (const auto& repaint : repaints) {
        beginCase("%s", repaint.name);
        repaint.repaint(dialog);
        CHECK(dialog.waitPainted());
        CHECK(waitForSwatch(dialog, IDC_ROW1, paletteColour(kRow1Colour)));
        const auto after = ClientImage::capture(dialog.window());
        if (CHECK(before.has_value()) && CHECK(after.has_value())) {
            checkSwatch(dialog, IDC_ROW1, paletteColour(kRow1Colour), *before, *after);
            checkSwatch(dialog, IDC_ROW2, paletteColour(kRow2Colour), *before, *after);
        }
    }
    CHECK(saveWindowImage(dialog.window(), context.outDir + "swatches-after-repaint.bmp"));
    closePanel(*panel);
}

SW_SCENARIO(swatches_keep_their_proportions_at_144_dpi,
            "at 150 % the swatch gaps are 11, 33 and 3 pixels instead of 7, 22 and 2; at 96 DPI they stay") {
    {
        beginCase("144 DPI");
        const ScreenDpiOverride dpi(144);
        if (!CHECK(dpi.applied()))
            return;
        HostedDevice device;
        auto panel = startDeviceAndPanel(context, device, setSwatchColours);
        if (!panel)
            return;
        connectAndCheckSwatches(context, panel->dialog, SwatchGaps{11, 33, 3}, "swatches-144dpi.bmp");
        closePanel(*panel);
    }
    {
        beginCase("96 DPI again");
        HostedDevice device;
        auto panel = startDeviceAndPanel(context, device, setSwatchColours);
        if (!panel)
            return;
        connectAndCheckSwatches(context, panel->dialog, SwatchGaps{}, "swatches-96dpi.bmp");
        closePanel(*panel);
    }
}

}  // namespace sw::e2e
