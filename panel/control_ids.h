#pragma once
// Resource IDs of dialog template 129 and the control groups switched together.

#include <array>

namespace sw::panel {

inline constexpr int IDD_MAIN = 129;
inline constexpr int IDI_APP = 40000;

inline constexpr int IDC_CLOSE = 1;          // IDOK: "閉じる"
inline constexpr int IDC_CAPTION_CLOSE = 2;  // IDCANCEL: the title-bar close box and the system menu
inline constexpr int IDC_SEND = 1003;
inline constexpr int IDC_RECEIVE = 1004;
inline constexpr int IDC_DEVICE_TEXT = 1005;
inline constexpr int IDC_CONNECT = 1006;
inline constexpr int IDC_STATUS = 1007;
inline constexpr int IDC_V_EDIT = 1016;
inline constexpr int IDC_H_EDIT = 57688;
inline constexpr int IDC_H_UPDOWN = 57689;
inline constexpr int IDC_V_UPDOWN = 57690;
inline constexpr int IDC_HALFTONE = 57691;
inline constexpr int IDC_SIZE_X1 = 57694;
inline constexpr int IDC_SIZE_X2 = 57695;
inline constexpr int IDC_SIZE_X3 = 57696;
inline constexpr int IDC_SIZE_X4 = 57697;
inline constexpr int IDC_COLOUR1 = 57699;
inline constexpr int IDC_COLOUR2 = 57700;
inline constexpr int IDC_ROW1 = 57704;
inline constexpr int IDC_ROW2 = 57705;
inline constexpr int IDC_PRODUCT = 57706;

// Enabled only while a device is open (Send by the output report length, the rest by the input length).
inline constexpr std::array<int, 14> DeviceControls = {
    IDC_SEND,    IDC_RECEIVE, IDC_ROW1,     IDC_ROW2,    IDC_DEVICE_TEXT, IDC_H_EDIT,  IDC_V_EDIT,
    IDC_COLOUR1, IDC_COLOUR2, IDC_HALFTONE, IDC_SIZE_X1, IDC_SIZE_X2,     IDC_SIZE_X3, IDC_SIZE_X4,
};

// Disabled while a send's completion is pending.
inline constexpr std::array<int, 15> SendLockControls = {
    IDC_PRODUCT, IDC_CONNECT, IDC_RECEIVE,  IDC_ROW1,    IDC_ROW2,    IDC_DEVICE_TEXT, IDC_H_EDIT,  IDC_V_EDIT,
    IDC_COLOUR1, IDC_COLOUR2, IDC_HALFTONE, IDC_SIZE_X1, IDC_SIZE_X2, IDC_SIZE_X3,     IDC_SIZE_X4,
};

// Edit notification codes (the high word of WM_COMMAND's wParam).
inline constexpr int kEnSetFocus = 0x0100;
inline constexpr int kEnKillFocus = 0x0200;
inline constexpr int kEnChange = 0x0300;

// Window timers of the dialog.
inline constexpr unsigned kHLiveTimer = 1;
inline constexpr unsigned kVLiveTimer = 2;
inline constexpr unsigned kSendCompletionTimer = 3;
inline constexpr unsigned kLiveDelayMs = 100;
inline constexpr unsigned kSendCompletionMs = 2000;

}  // namespace sw::panel
