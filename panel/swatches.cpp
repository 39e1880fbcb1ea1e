// The colour swatches beside the two row edits. They are painted when the device's colours are known to be what
// the lists show: at the end of a complete read-back and of a fully written send. The panel remembers what it
// painted there, so that a repaint of the dialog (another window passed over it, a restore) shows the same
// swatches again instead of wiping them; a pick in a list changes no swatch until the next of those moments.

#include <cstddef>
#include <utility>

#include "panel/control_ids.h"
#include "panel/main_panel.h"

namespace sw::panel {

namespace {
constexpr std::pair<int, int> kSwatchRows[] = {{IDC_COLOUR1, IDC_ROW1}, {IDC_COLOUR2, IDC_ROW2}};
}

void MainPanel::paintColourSwatches() {
    for (std::size_t row = 0; row < paintedSwatches_.size(); ++row) {
        const auto [list, rowEdit] = kSwatchRows[row];
        const int selection = view_.GetComboSelection(list);
        // A list without a selection has no palette colour: its swatch area is left as it is.
        if (selection < 0 || static_cast<std::size_t>(selection) >= protocol::ColourPalette.size())
            continue;
        paintedSwatches_[row] = protocol::ColourPalette[static_cast<std::size_t>(selection)].colour;
        view_.PaintSwatch(rowEdit, *paintedSwatches_[row]);
    }
}

void MainPanel::OnPaint() {
    for (std::size_t row = 0; row < paintedSwatches_.size(); ++row) {
        if (paintedSwatches_[row])
            view_.PaintSwatch(kSwatchRows[row].second, *paintedSwatches_[row]);
    }
}

}  // namespace sw::panel
