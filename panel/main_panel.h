#pragma once
// Everything the main dialog does, in portable code: the message map's handlers, connect, read-back, send,
// live position adjustment and BusyState. CMainDlg forwards its Win32 messages here and implements the two
// interfaces this class talks to.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "device/box_lock.h"
#include "device/device_link.h"
#include "device/report_buffer.h"
#include "panel/dialog_view.h"
#include "protocol/command_codes.h"

namespace sw::panel {

struct Product {
    const char* name;
    const char* vendorId;   // four hexadecimal digits
    const char* productId;  // four hexadecimal digits
};

// The models the product list offers, in list order.
extern const std::array<Product, 1> ProductTable;

// The session the dialog owns between a successful open and Disconnect (the handle itself lives in the link).
struct DeviceSession {
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
};

// One dialog-wide integer shared by the focus handlers, the live timers and the send flow.
namespace busy {
inline constexpr int Idle = 0;
inline constexpr int HLivePending = 1;
inline constexpr int VLivePending = 2;
inline constexpr int SendPending = 3;
inline constexpr int HFocused = 11;
inline constexpr int VFocused = 12;
inline constexpr int SendFailureSeen = 13;

// A send's completion owns BusyState until timer 3 fires: nothing else may overwrite these two values.
constexpr bool recordsSendCompletion(int state) {
    return state == SendPending || state == SendFailureSeen;
}
}  // namespace busy

class MainPanel {
public:
    MainPanel(DialogView& view, device::DeviceLink& link);

    // WM_INITDIALOG, after the Win32-only steps (centring, icons, loop registration): marks the device closed,
    // fills the product and colour lists and sets the control limits.
    void OnInitDialog();
    // WM_COMMAND for every control but 1 and 2 (CMainDlg closes the dialog for those). Returns whether the
    // message map has an entry for it.
    bool OnCommand(int controlId, int notificationCode);
    // WM_TIMER.
    void OnTimer(unsigned timerId);
    // After the dialog's own painting: paints the swatches again as they were last painted (none before the
    // first complete read-back or send).
    void OnPaint();
    // Closes the device and disables the device controls; also the first step of closing the dialog.
    void Disconnect();

    int busyState() const { return busyState_; }
    const DeviceSession& session() const { return session_; }

    // Tests substitute a source that cannot obtain memory.
    void setReportBufferSource(device::ReportBuffer::Source source) { bufferSource_ = source; }
    // Tests and the simulated box substitute their own lock of the box.
    void setBoxLocker(device::BoxLocker locker) { boxLocker_ = std::move(locker); }

private:
    enum class PositionEdit { None, H, V };
    struct SettingRead;

    void onPositionFocus(PositionEdit edit, bool gained);
    void OnConnect();
    void OnReceive();
    void enableDeviceControls();
    // The caller holds the box's lock.
    void runReadBackHoldingTheLock();
    void runSend();
    void completeSend();
    void onPositionChanged(int editId);
    void sendLivePosition(PositionEdit axis);
    void reportLiveFailure();
    void endLivePosition(PositionEdit axis);
    void readSettingValue(protocol::SettingCommand command, SettingRead& read);
    void finishSendWithoutCompletionTimer(bool allWritten);
    void lockSendControls(bool locked);
    void paintColourSwatches();
    // The box's lock for one conversation, only tried: the window must not block on another program. None, with
    // the status line saying so, when another program holds it; a lock that cannot be had at all does not stop
    // the panel.
    std::optional<device::BoxLock> lockBox();
    void setStatusWithModel(const char* format, const char* modelName);

    DialogView& view_;
    device::DeviceLink& link_;
    DeviceSession session_;
    std::string boxPath_;  // the interface opened, which names the box's lock
    device::BoxLocker boxLocker_ = device::BoxLock::acquire;
    int busyState_ = busy::Idle;
    // Which position edit has the keyboard focus, from the focus notifications: BusyState cannot tell while a
    // timer or a send completion is recorded in it.
    PositionEdit focusedPositionEdit_ = PositionEdit::None;
    // Whether the send completion timer runs, so that a send never leaves the controls locked for ever.
    bool completionTimerRunning_ = false;
    device::ReportBuffer::Source bufferSource_ = &device::ReportBuffer::allocateZeroed;
    // The colour last painted beside row 1 and row 2.
    std::array<std::optional<Rgb>, 2> paintedSwatches_;
};

}  // namespace sw::panel
