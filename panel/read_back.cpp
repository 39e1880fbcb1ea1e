// The read-back pass as the dialog shows it: each reply written into its controls at once, each failure in the
// status line, then the end steps.

#include <string>
#include <variant>

#include "device/read_back_pass.h"
#include "panel/control_ids.h"
#include "panel/main_panel.h"
#include "panel/status_texts.h"
#include "protocol/colour_palette.h"
#include "protocol/reply_decoder.h"
#include "protocol/signal_format.h"

namespace sw::panel {

namespace {

class ReplyApplier {
public:
    ReplyApplier(DialogView& view, const device::ReadBackValues& values) : view_(view), values_(values) {}

    void operator()(const protocol::UnrecognisedReply&) { view_.SetItemText(IDC_STATUS, text::kUnrecognisedReply); }

    void operator()(const protocol::LayoutReply& layout) {
        view_.SetItemText(IDC_H_EDIT, std::to_string(layout.hPosition));
        view_.SetItemText(IDC_V_EDIT, std::to_string(layout.vPosition));
        constexpr int kSizeButtons[] = {IDC_SIZE_X1, IDC_SIZE_X2, IDC_SIZE_X3, IDC_SIZE_X4};
        for (int i = 0; i < 4; ++i)
            view_.SetItemChecked(kSizeButtons[i], i == layout.sizeIndex);
        view_.SetItemChecked(IDC_HALFTONE, layout.halftone);
    }

    // Applied only at the end of the pass.
    void operator()(const protocol::ColourReply&) {}

    void operator()(const protocol::RowReply& row) { view_.SetItemText(row.row == 1 ? IDC_ROW1 : IDC_ROW2, row.text); }

    void operator()(const protocol::StatusReply& status) {
        view_.SetItemText(IDC_STATUS, protocol::buildStatusText(status, values_.statusBlock));
    }

private:
    DialogView& view_;
    const device::ReadBackValues& values_;
};

}  // namespace

void MainPanel::runReadBackHoldingTheLock() {
    const auto showStep = [this](const device::QueryStep& step, const device::ReadBackValues& values) {
        switch (step.result.outcome) {
            case device::QueryOutcome::SendFailed:
                view_.SetItemText(IDC_STATUS, text::kQuerySendFailed);
                break;
            case device::QueryOutcome::NotReady:
                view_.SetItemText(IDC_STATUS, text::kReceiveNotReady);
                break;
            case device::QueryOutcome::ReceiveFailed:
                view_.SetItemText(IDC_STATUS, text::kReceiveFailed);
                break;
            case device::QueryOutcome::Received:
                std::visit(ReplyApplier(view_, values), step.result.reply);
                break;
        }
    };
    const device::ReadBackPass pass = device::runReadBackPass(
        link_, {session_.inputReportLength, session_.outputReportLength}, showStep, bufferSource_);
    if (pass.stopped)
        return;

    // A colour whose reply was missing keeps the list's current selection.
    for (const auto& [list, colour] :
         {std::pair{IDC_COLOUR1, pass.values.colour1}, {IDC_COLOUR2, pass.values.colour2}}) {
        if (!colour)
            continue;
        const int position = view_.FindComboStringExact(list, protocol::paletteEntryForDeviceIndex(*colour).name);
        if (position >= 0)
            view_.SetComboSelection(list, position);
    }
    view_.SetItemText(IDC_DEVICE_TEXT, pass.values.combinedText);
    paintColourSwatches();
    view_.DiscardMouseInput();
}

}  // namespace sw::panel
