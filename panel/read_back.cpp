// The read-back pass: six queries in order, each reply written into its controls at once, then the end steps.

#include <optional>
#include <string>
#include <type_traits>
#include <variant>

#include "device/query_exchange.h"
#include "panel/control_ids.h"
#include "panel/main_panel.h"
#include "panel/status_texts.h"
#include "protocol/colour_palette.h"
#include "protocol/command_codes.h"
#include "protocol/reply_decoder.h"
#include "protocol/signal_format.h"
#include "protocol/text_cells.h"

namespace sw::panel {

namespace {

// What one pass carries from one reply to the next; nothing of it survives the pass.
struct ReadBackPass {
    std::optional<protocol::LayoutReply> layout;
    std::optional<int> colour1Selection;
    std::optional<int> colour2Selection;
    std::optional<int> row1Cells;
    std::optional<int> row2Cells;
    std::string combinedText;

    // The range check needs the layout and both rows of this pass; without them it is skipped, since the
    // panel's own values may be stale or the operator's edits and would warn about the wrong block.
    std::optional<protocol::TextBlock> textBlock() const {
        if (!layout || !row1Cells || !row2Cells)
            return std::nullopt;
        return protocol::TextBlock{layout->hPosition, layout->vPosition, layout->sizeIndex, *row1Cells, *row2Cells};
    }
};

class ReplyApplier {
public:
    ReplyApplier(DialogView& view, ReadBackPass& pass) : view_(view), pass_(pass) {}

    void operator()(const protocol::UnrecognisedReply&) { view_.SetItemText(IDC_STATUS, text::kUnrecognisedReply); }

    void operator()(const protocol::LayoutReply& layout) {
        view_.SetItemText(IDC_H_EDIT, std::to_string(layout.hPosition));
        view_.SetItemText(IDC_V_EDIT, std::to_string(layout.vPosition));
        constexpr int kSizeButtons[] = {IDC_SIZE_X1, IDC_SIZE_X2, IDC_SIZE_X3, IDC_SIZE_X4};
        for (int i = 0; i < 4; ++i)
            view_.SetItemChecked(kSizeButtons[i], i == layout.sizeIndex);
        view_.SetItemChecked(IDC_HALFTONE, layout.halftone);
        pass_.layout = layout;
    }

    void operator()(const protocol::ColourReply& colour) {
        // Applied only at the end of the pass.
        const int list = colour.colour == 1 ? IDC_COLOUR1 : IDC_COLOUR2;
        const int position =
            view_.FindComboStringExact(list, protocol::paletteEntryForDeviceIndex(colour.colourIndex).name);
        (colour.colour == 1 ? pass_.colour1Selection : pass_.colour2Selection) = position;
    }

    void operator()(const protocol::RowReply& row) {
        view_.SetItemText(row.row == 1 ? IDC_ROW1 : IDC_ROW2, row.text);
        (row.row == 1 ? pass_.row1Cells : pass_.row2Cells) = row.cellCount;
        protocol::appendToCombinedText(pass_.combinedText, row.row, row.text);
    }

    void operator()(const protocol::StatusReply& status) {
        view_.SetItemText(IDC_STATUS, protocol::buildStatusText(status, pass_.textBlock()));
    }

private:
    DialogView& view_;
    ReadBackPass& pass_;
};

}  // namespace

void MainPanel::runReadBack() {
    ReadBackPass pass;
    ReplyApplier apply(view_, pass);

    for (protocol::QueryCode query : protocol::kQueryOrder) {
        const device::QueryResult result = device::exchangeQuery(
            link_, query, {session_.inputReportLength, session_.outputReportLength}, bufferSource_);
        switch (result.outcome) {
            case device::QueryOutcome::SendFailed:
                view_.SetItemText(IDC_STATUS, text::kQuerySendFailed);
                return;
            case device::QueryOutcome::NotReady:
                view_.SetItemText(IDC_STATUS, text::kReceiveNotReady);
                return;
            case device::QueryOutcome::ReceiveFailed:
                view_.SetItemText(IDC_STATUS, text::kReceiveFailed);
                continue;
            case device::QueryOutcome::Received:
                std::visit(apply, result.reply);
                break;
        }
    }

    // A colour whose reply was missing keeps the list's current selection.
    if (pass.colour1Selection && *pass.colour1Selection >= 0)
        view_.SetComboSelection(IDC_COLOUR1, *pass.colour1Selection);
    if (pass.colour2Selection && *pass.colour2Selection >= 0)
        view_.SetComboSelection(IDC_COLOUR2, *pass.colour2Selection);
    view_.SetItemText(IDC_DEVICE_TEXT, pass.combinedText);
    paintColourSwatches();
    view_.DiscardMouseInput();
}

}  // namespace sw::panel
