// The message map, the dialog's initialisation and the device session: connect, disconnect, control states.

#include "panel/main_panel.h"

#include <cstdlib>
#include <string>

#include "device/connect.h"
#include "panel/control_ids.h"
#include "panel/status_texts.h"
#include "protocol/colour_palette.h"
#include "protocol/product.h"

namespace sw::panel {

const std::array<Product, 1> ProductTable = {{
    {protocol::kModelName, protocol::kVendorIdText, protocol::kProductIdText},
}};

namespace {

constexpr int kRowTextLimit = 16;  // bytes: 16 single-byte or 8 double-byte characters
constexpr int kPositionTextLimit = 4;
constexpr int kPositionMax = protocol::kMaxPosition;

}  // namespace

MainPanel::MainPanel(DialogView& view, device::DeviceLink& link) : view_(view), link_(link) {}

void MainPanel::OnInitDialog() {
    // The device starts closed: both lengths 0, every device control disabled.
    Disconnect();

    view_.AddComboString(IDC_PRODUCT, ProductTable[0].name);
    view_.SetComboSelection(IDC_PRODUCT, view_.FindComboStringExact(IDC_PRODUCT, ProductTable[0].name));

    // UDM_SETRANGE takes (maximum, minimum): H counts up to the right, V is reversed so that its upper arrow
    // moves the text up the picture.
    view_.SetUpDownRange(IDC_H_UPDOWN, 0, kPositionMax);
    view_.SetEditLimit(IDC_H_EDIT, kPositionTextLimit);
    view_.SetUpDownRange(IDC_V_UPDOWN, kPositionMax, 0);
    view_.SetEditLimit(IDC_V_EDIT, kPositionTextLimit);

    view_.SetItemChecked(IDC_SIZE_X1, true);

    for (int list : {IDC_COLOUR1, IDC_COLOUR2}) {
        for (const protocol::PaletteEntry& entry : protocol::ColourPalette)
            view_.AddComboString(list, entry.name);
        view_.SetComboSelection(
            list, view_.FindComboStringExact(list, protocol::ColourPalette[protocol::kInitialColourIndex].name));
    }

    view_.SetEditLimit(IDC_ROW1, kRowTextLimit);
    view_.SetEditLimit(IDC_ROW2, kRowTextLimit);
}

bool MainPanel::OnCommand(int controlId, int notificationCode) {
    switch (controlId) {
        case IDC_CONNECT:
            OnConnect();
            return true;
        case IDC_SEND:
            runSend();
            return true;
        case IDC_RECEIVE:
            OnReceive();
            return true;
        case IDC_HALFTONE:
        case IDC_SIZE_X1:
        case IDC_SIZE_X2:
        case IDC_SIZE_X3:
        case IDC_SIZE_X4:
            // Taken by the next send.
            return true;
        case IDC_H_EDIT:
        case IDC_V_EDIT: {
            const PositionEdit edit = controlId == IDC_H_EDIT ? PositionEdit::H : PositionEdit::V;
            if (notificationCode == kEnChange) {
                onPositionChanged(controlId);
                return true;
            }
            if (notificationCode == kEnSetFocus || notificationCode == kEnKillFocus) {
                onPositionFocus(edit, notificationCode == kEnSetFocus);
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

void MainPanel::OnTimer(unsigned timerId) {
    switch (timerId) {
        case kHLiveTimer:
            sendLivePosition(PositionEdit::H);
            break;
        case kVLiveTimer:
            sendLivePosition(PositionEdit::V);
            break;
        case kSendCompletionTimer:
            completeSend();
            break;
        default:
            break;
    }
}

void MainPanel::Disconnect() {
    session_ = DeviceSession{};
    boxPath_.clear();
    link_.Close();
    for (int id : DeviceControls)
        view_.EnableItem(id, false);
}

void MainPanel::OnConnect() {
    // Any earlier connection is closed first, so a failed attempt always leaves the dialog disconnected.
    Disconnect();

    const int selection = view_.GetComboSelection(IDC_PRODUCT);
    if (selection < 0 || static_cast<std::size_t>(selection) >= ProductTable.size()) {
        view_.SetItemText(IDC_STATUS, text::kProductNotFound);
        return;
    }
    const Product& product = ProductTable[static_cast<std::size_t>(selection)];
    const auto vendorId = static_cast<std::uint16_t>(std::strtoul(product.vendorId, nullptr, 16));
    const auto productId = static_cast<std::uint16_t>(std::strtoul(product.productId, nullptr, 16));

    // The box's lock is taken before the box is opened, so that no reply of another program's conversation
    // reaches the handle; the read-back that follows is part of the same conversation.
    device::Connection connection = device::findBox(link_, vendorId, productId);
    std::optional<device::BoxLock> lock;
    if (!connection.path.empty()) {
        boxPath_ = connection.path;
        lock = lockBox();
        if (!lock) {
            boxPath_.clear();
            return;
        }
    }
    device::openBox(link_, connection);
    switch (connection.outcome) {
        case device::ConnectOutcome::NotFound:
            view_.SetItemText(IDC_STATUS, text::kProductNotFound);
            return;
        case device::ConnectOutcome::OpenFailed:
            setStatusWithModel(text::kOpenFailed, product.name);
            return;
        case device::ConnectOutcome::ReportLengthsFailed:
            // The handle stays open (and the controls disabled) until the next connect or close.
            setStatusWithModel(text::kReportLengthsFailed, product.name);
            return;
        case device::ConnectOutcome::Connected:
            break;
    }
    session_ = {connection.lengths.input, connection.lengths.output};

    setStatusWithModel(text::kConnectedReceiving, product.name);
    enableDeviceControls();
    runReadBackHoldingTheLock();
}

void MainPanel::OnReceive() {
    const auto lock = lockBox();
    if (!lock)
        return;
    view_.SetItemText(IDC_STATUS, text::kReceiving);
    runReadBackHoldingTheLock();
}

void MainPanel::enableDeviceControls() {
    view_.EnableItem(IDC_SEND, session_.outputReportLength != 0);
    for (int id : DeviceControls) {
        if (id != IDC_SEND)
            view_.EnableItem(id, session_.inputReportLength != 0);
    }
}

void MainPanel::lockSendControls(bool locked) {
    for (int id : SendLockControls)
        view_.EnableItem(id, !locked);
}

std::optional<device::BoxLock> MainPanel::lockBox() {
    device::BoxLock lock = boxLocker_(boxPath_, 0);
    if (lock.outcome() != device::BoxLock::Outcome::Busy)
        return lock;
    view_.SetItemText(IDC_STATUS, text::kBoxBusy);
    // A send's completion due later would report "sent" over this: what the dialog shows was not all sent.
    if (busyState_ == busy::SendPending)
        busyState_ = busy::SendFailureSeen;
    return std::nullopt;
}

void MainPanel::setStatusWithModel(const char* format, const char* modelName) {
    std::string message = format;
    const std::size_t at = message.find("%s");
    if (at != std::string::npos)
        message.replace(at, 2, modelName);
    view_.SetItemText(IDC_STATUS, message);
}

}  // namespace sw::panel
