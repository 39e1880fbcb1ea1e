// The send: eight setting commands read off the dialog and written in order, then the completion 2 s after the
// last successful write.

#include <string>

#include "device/query_exchange.h"
#include "panel/control_ids.h"
#include "panel/main_panel.h"
#include "panel/status_texts.h"
#include "protocol/command_codes.h"
#include "protocol/row_encoder.h"

namespace sw::panel {

namespace {

// A row is read as at most 32 bytes (read-back text can hold that many) and a terminator.
constexpr std::size_t kRowTextBuffer = 33;

}  // namespace

struct MainPanel::SettingRead {
    protocol::SettingValue value;
    std::string rowText;  // keeps the text alive while its cells are built
    protocol::EncodedRow cells;
};

void MainPanel::readSettingValue(protocol::SettingCommand command, SettingRead& read) {
    using protocol::SettingCommand;
    switch (command) {
        case SettingCommand::SetHPosition:
        case SettingCommand::SetVPosition: {
            const bool horizontal = command == SettingCommand::SetHPosition;
            const int edit = horizontal ? IDC_H_EDIT : IDC_V_EDIT;
            const auto raw = static_cast<std::uint16_t>(view_.GetItemUInt(edit));
            read.value.number = protocol::clampPosition(raw);
            if (raw >= protocol::kMaxPosition) {
                view_.SetItemText(edit, std::to_string(protocol::kMaxPosition));
                // Limiting H clears BusyState, but never over a pending completion: that would turn a failure
                // of this send into "sent" when the earlier completion fires.
                if (horizontal && !busy::recordsSendCompletion(busyState_))
                    busyState_ = busy::Idle;
            }
            return;
        }
        case SettingCommand::SetSize: {
            constexpr int kSizeButtons[] = {IDC_SIZE_X1, IDC_SIZE_X2, IDC_SIZE_X3, IDC_SIZE_X4};
            read.value.number = 0;
            for (int i = 0; i < 4; ++i) {
                if (view_.IsItemChecked(kSizeButtons[i])) {
                    read.value.number = static_cast<std::uint16_t>(i);
                    break;
                }
            }
            return;
        }
        case SettingCommand::SetHalftone:
            read.value.number = view_.IsItemChecked(IDC_HALFTONE) ? 1 : 0;
            return;
        case SettingCommand::SetColor1:
        case SettingCommand::SetColor2: {
            const int list = command == SettingCommand::SetColor1 ? IDC_COLOUR1 : IDC_COLOUR2;
            read.value.number = static_cast<std::uint16_t>(view_.GetComboSelection(list) & 0xFF);
            return;
        }
        case SettingCommand::SetRow1:
        case SettingCommand::SetRow2: {
            read.rowText = view_.GetItemText(command == SettingCommand::SetRow1 ? IDC_ROW1 : IDC_ROW2, kRowTextBuffer);
            read.cells = protocol::encodeRowText(
                {reinterpret_cast<const std::uint8_t*>(read.rowText.data()), read.rowText.size()});
            read.value.cells = {read.cells.bytes.data(), read.cells.length};
            return;
        }
    }
}

void MainPanel::runSend() {
    const auto lock = lockBox();
    if (!lock)
        return;
    view_.SetItemText(IDC_STATUS, text::kSending);

    bool anyWritten = false;
    for (protocol::SettingCommand command : protocol::kSendOrder) {
        SettingRead read;
        readSettingValue(command, read);
        // No buffer, or a report too short for the 65-byte frame: the command cannot go out, which is a failed
        // write (a truncated command is never sent).
        const bool sent = device::writeSettingCommand(link_, command, read.value, session_.outputReportLength,
                                                      device::kSendWriteWaitMs, bufferSource_);
        if (!sent) {
            if (busyState_ == busy::SendPending)
                busyState_ = busy::SendFailureSeen;
            else
                view_.SetItemText(IDC_STATUS, text::kSendFailed);
            if (anyWritten && !completionTimerRunning_)
                finishSendWithoutCompletionTimer(false);
            return;
        }

        anyWritten = true;
        busyState_ = static_cast<int>(view_.StartTimer(kSendCompletionTimer, kSendCompletionMs));
        completionTimerRunning_ = busyState_ == static_cast<int>(kSendCompletionTimer);
        lockSendControls(true);
    }

    if (!completionTimerRunning_) {
        finishSendWithoutCompletionTimer(true);
        return;
    }
    paintColourSwatches();
    view_.DiscardMouseInput();
}

// The completion timer could not be started, so no completion would ever unlock the controls: the send
// completes at once instead.
void MainPanel::finishSendWithoutCompletionTimer(bool allWritten) {
    if (allWritten) {
        paintColourSwatches();
        completeSend();
        return;
    }
    // The failure message is already in the status line.
    lockSendControls(false);
    view_.DiscardMouseInput();
}

void MainPanel::completeSend() {
    view_.SetItemText(IDC_STATUS, busyState_ == busy::SendFailureSeen ? text::kSendMayHaveFailed : text::kSent);
    view_.StopTimer(kSendCompletionTimer);
    completionTimerRunning_ = false;
    busyState_ = busy::Idle;
    lockSendControls(false);
    view_.DiscardMouseInput();
}

}  // namespace sw::panel
