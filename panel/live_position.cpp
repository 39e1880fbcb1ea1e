// Live position adjustment: while a position edit has the focus, each change is sent 100 ms later, throttled
// (changes within the 100 ms arm nothing; the value sent is the one the edit holds when the timer fires).

#include <string>

#include "panel/control_ids.h"
#include "panel/main_panel.h"
#include "panel/status_texts.h"
#include "protocol/setting_command.h"

namespace sw::panel {

void MainPanel::onPositionFocus(PositionEdit edit, bool gained) {
    if (gained)
        focusedPositionEdit_ = edit;
    else if (focusedPositionEdit_ == edit)
        focusedPositionEdit_ = PositionEdit::None;

    // A pending send completion is never overwritten: locking the controls takes the focus from a position
    // edit in the middle of a send, and losing the 3 would let a later failure of that send end as "sent".
    if (busy::recordsSendCompletion(busyState_))
        return;
    if (!gained)
        busyState_ = busy::Idle;
    else
        busyState_ = edit == PositionEdit::H ? busy::HFocused : busy::VFocused;
}

void MainPanel::onPositionChanged(int editId) {
    if (editId == IDC_H_EDIT && busyState_ == busy::HFocused)
        busyState_ = static_cast<int>(view_.StartTimer(kHLiveTimer, kLiveDelayMs));
    else if (editId == IDC_V_EDIT && busyState_ == busy::VFocused)
        busyState_ = static_cast<int>(view_.StartTimer(kVLiveTimer, kLiveDelayMs));
}

void MainPanel::sendLivePosition(PositionEdit axis) {
    const bool horizontal = axis == PositionEdit::H;
    const int edit = horizontal ? IDC_H_EDIT : IDC_V_EDIT;

    // After a failed connect there is no session to send to: the timer just ends.
    if (!link_.IsOpen() || session_.outputReportLength < protocol::kCommandFrameLength) {
        endLivePosition(axis);
        return;
    }
    const auto lock = lockBox();
    if (!lock) {
        endLivePosition(axis);
        return;
    }
    device::ReportBuffer report(session_.outputReportLength, bufferSource_);
    if (!report.obtained()) {
        reportLiveFailure();
        endLivePosition(axis);
        return;
    }

    // Normalise the edit: leading zeros go, an empty edit becomes a selected "0" (the next digit replaces it),
    // and anything at or above the limit shows the limit. Rewriting raises EN_CHANGE, which arms nothing while
    // the timer is recorded in BusyState.
    std::uint16_t value = static_cast<std::uint16_t>(view_.GetItemUInt(edit));
    if (value < protocol::kMaxPosition) {
        view_.SetItemText(edit, std::to_string(value));
    } else {
        value = protocol::kMaxPosition;
        view_.SetItemText(edit, std::to_string(protocol::kMaxPosition));
    }
    if (value == 0) {
        view_.SetEditSelection(edit, 0, -1);
    } else {
        const int length = view_.GetItemTextLength(edit);
        view_.SetEditSelection(edit, length, length);
    }

    const auto command = horizontal ? protocol::SettingCommand::SetHPosition : protocol::SettingCommand::SetVPosition;
    protocol::buildSettingCommand(command, protocol::SettingValue{value, {}}, report.bytes());
    if (link_.WriteReport(report.bytes(), device::kLiveWriteWaitMs, false) == device::WriteOutcome::SendFailed)
        reportLiveFailure();

    endLivePosition(axis);
}

void MainPanel::reportLiveFailure() {
    view_.SetItemText(IDC_STATUS, text::kSendFailed);
    // A send's completion due within 2 s would overwrite this report with "sent": the device may not hold
    // what the dialog shows, so the completion has to say so as after a failed command of the send itself.
    if (busyState_ == busy::SendPending)
        busyState_ = busy::SendFailureSeen;
}

void MainPanel::endLivePosition(PositionEdit axis) {
    view_.StopTimer(axis == PositionEdit::H ? kHLiveTimer : kVLiveTimer);

    // A send that ran while this timer was due owns BusyState until its completion: overwriting its 3 or 13
    // would report a failed send as sent. Otherwise BusyState follows the focus as it is now, so that a move
    // from H to V within the 100 ms leaves typing in V live.
    if (busy::recordsSendCompletion(busyState_))
        return;
    // The other axis's timer, armed while this one was due, keeps its record until it fires itself.
    const int otherPending = axis == PositionEdit::H ? busy::VLivePending : busy::HLivePending;
    if (busyState_ == otherPending)
        return;
    switch (focusedPositionEdit_) {
        case PositionEdit::H:
            busyState_ = busy::HFocused;
            break;
        case PositionEdit::V:
            busyState_ = busy::VFocused;
            break;
        case PositionEdit::None:
            busyState_ = busy::Idle;
            break;
    }
}

}  // namespace sw::panel
