#include "app/main_dlg.h"

#include <commctrl.h>

#include "app/resource_ids.h"
#include "app/window_centring.h"
#include "app/window_dpi.h"
#include "panel/control_ids.h"
#include "panel/swatch_geometry.h"

namespace sw::app {

using namespace panel;

// The resource script cannot read control_ids.h; its macros must name the same controls.
static_assert(IDD_MAIN_DIALOG == IDD_MAIN && IDI_APP_ICON == IDI_APP);
static_assert(IDC_CLOSE_BUTTON == IDC_CLOSE && IDC_SEND_BUTTON == IDC_SEND && IDC_RECEIVE_BUTTON == IDC_RECEIVE &&
              IDC_DEVICE_TEXT_EDIT == IDC_DEVICE_TEXT && IDC_CONNECT_BUTTON == IDC_CONNECT &&
              IDC_STATUS_TEXT == IDC_STATUS && IDC_V_POSITION_EDIT == IDC_V_EDIT && IDC_H_POSITION_EDIT == IDC_H_EDIT &&
              IDC_H_POSITION_UPDOWN == IDC_H_UPDOWN && IDC_V_POSITION_UPDOWN == IDC_V_UPDOWN &&
              IDC_HALFTONE_CHECK == IDC_HALFTONE && IDC_SIZE_X1_RADIO == IDC_SIZE_X1 &&
              IDC_SIZE_X2_RADIO == IDC_SIZE_X2 && IDC_SIZE_X3_RADIO == IDC_SIZE_X3 &&
              IDC_SIZE_X4_RADIO == IDC_SIZE_X4 && IDC_COLOUR1_LIST == IDC_COLOUR1 && IDC_COLOUR2_LIST == IDC_COLOUR2 &&
              IDC_ROW1_EDIT == IDC_ROW1 && IDC_ROW2_EDIT == IDC_ROW2 && IDC_PRODUCT_LIST == IDC_PRODUCT);

CMainDlg::CMainDlg(CAppModule& module) : module_(module), text_(*this), panel_(*this, link_) {}

CMainDlg::~CMainDlg() {
    // While the panel and the link still exist: the window's last notifications reach them.
    DestroyWindow();
}

HWND CMainDlg::Create() {
    return CDialogImpl::Create(module_.Instance(), IDD_MAIN, nullptr, 0);
}

bool CMainDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            result = TRUE;  // the dialog manager focuses the first tab stop, Close
            return true;
        case WM_TIMER:
            panel_.OnTimer(static_cast<unsigned>(wParam));
            result = TRUE;
            return true;
        case WM_COMMAND:
            result = TRUE;
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_PAINT:
            OnPaint();
            result = TRUE;
            return true;
        case WM_DPICHANGED:
            OnDpiChanged(*reinterpret_cast<const RECT*>(lParam));
            return false;  // the dialog manager goes on to lay the controls out for the new DPI, where it can
        case WM_DESTROY:
            OnDestroy();
            return false;  // bookkeeping only; the default processing goes on
        default:
            return false;
    }
}

void CMainDlg::OnInitDialog() {
    CentreInWorkArea();
    SetIcons();
    JoinMessageLoop();
    panel_.OnInitDialog();
}

bool CMainDlg::OnCommand(int controlId, int notificationCode) {
    switch (controlId) {
        case IDC_CLOSE:
            CloseDialog(1);
            return true;
        case IDC_CAPTION_CLOSE:
            CloseDialog(2);
            return true;
        default:
            // An edit whose text the boundary replaced (typing cut at the limit, a "?" shown for a character code
            // page 932 lacks) has already told the panel of the new text, from inside the replacement.
            if (notificationCode == EN_CHANGE && text_.OnEditChange(controlId))
                return true;
            // Also for notifications that arrive before WM_INITDIALOG or from inside the panel's own calls
            // (setting an edit's text raises EN_CHANGE synchronously): the panel exists from construction on.
            return panel_.OnCommand(controlId, notificationCode);
    }
}

void CMainDlg::OnPaint() {
    // The default painting first, as the dialog manager would do it: BeginPaint has the background erased and
    // EndPaint ends the paint request, so the swatches painted afterwards are neither wiped nor raise a new one.
    { const win32::PaintScope paint(hwnd_); }
    panel_.OnPaint();
}

void CMainDlg::OnDpiChanged(const RECT& suggested) {
    // Moved to a monitor of another DPI: take the size and place the system suggests for it. The repaint that
    // follows draws the swatches at the new DPI.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDlg::OnDestroy() {
    LeaveMessageLoop();
}

void CMainDlg::CloseDialog(int exitCode) {
    panel_.Disconnect();
    DestroyWindow();
    PostQuitMessage(exitCode);
}

bool CMainDlg::FilterMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN) {
        // Kept from the dialog manager, which would press a push button with it (the focused one, or Close as the
        // default button): Enter belongs to the focused control alone.
        if (msg.wParam == VK_RETURN)
            return false;
        // Would close the dialog through IDCANCEL; the panel has no cancel.
        if (msg.wParam == VK_ESCAPE)
            return true;
    }
    if (hwnd_ == nullptr)
        return false;
    return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

bool CMainDlg::HandleIdle() {
    return false;
}

void CMainDlg::CentreInWorkArea() {
    RECT window{};
    GetWindowRect(hwnd_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoA(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    const int left = CentredStart(area.left, area.right, window.right - window.left);
    const int top = CentredStart(area.top, area.bottom, window.bottom - window.top);
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDlg::SetIcons() {
    const auto load = [this](int widthMetric, int heightMetric) {
        return static_cast<HICON>(LoadImageA(module_.Instance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                             GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                             LR_DEFAULTCOLOR));
    };
    bigIcon_.Reset(load(SM_CXICON, SM_CYICON));
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    smallIcon_.Reset(load(SM_CXSMICON, SM_CYSMICON));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void CMainDlg::JoinMessageLoop() {
    joinedLoop_ = module_.GetMessageLoop();
    if (joinedLoop_ == nullptr)
        return;
    joinedLoop_->AddMessageFilter(this);
    joinedLoop_->AddIdleHandler(this);
}

void CMainDlg::LeaveMessageLoop() {
    if (joinedLoop_ == nullptr)
        return;
    joinedLoop_->RemoveMessageFilter(this);
    joinedLoop_->RemoveIdleHandler(this);
    joinedLoop_ = nullptr;
}

// DialogView

void CMainDlg::SetItemText(int id, std::string_view text) {
    text_.SetItemText(id, text);
}

std::string CMainDlg::GetItemText(int id, std::size_t bufferSize) {
    return text_.GetItemText(id, bufferSize);
}

unsigned CMainDlg::GetItemUInt(int id) {
    return GetDlgItemInt(hwnd_, id, nullptr, FALSE);
}

int CMainDlg::GetItemTextLength(int id) {
    return static_cast<int>(SendDlgItemMessageW(hwnd_, id, WM_GETTEXTLENGTH, 0, 0));
}

void CMainDlg::SetEditSelection(int id, int start, int end) {
    SendDlgItemMessageW(hwnd_, id, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void CMainDlg::SetEditLimit(int id, int limit) {
    text_.SetEditLimit(id, limit);
}

void CMainDlg::EnableItem(int id, bool enable) {
    EnableWindow(Item(id), enable ? TRUE : FALSE);
}

bool CMainDlg::IsItemChecked(int id) {
    return SendDlgItemMessageW(hwnd_, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CMainDlg::SetItemChecked(int id, bool checked) {
    SendDlgItemMessageW(hwnd_, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CMainDlg::AddComboString(int id, std::string_view text) {
    text_.AddComboString(id, text);
}

int CMainDlg::FindComboStringExact(int id, std::string_view text) {
    return text_.FindComboStringExact(id, text);
}

void CMainDlg::SetComboSelection(int id, int index) {
    SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int CMainDlg::GetComboSelection(int id) {
    return static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0));
}

void CMainDlg::SetUpDownRange(int id, int minimum, int maximum) {
    // The maximum travels in the low word: a minimum above the maximum makes the up arrow count down.
    SendDlgItemMessageW(hwnd_, id, UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(maximum), static_cast<WORD>(minimum)));
}

unsigned CMainDlg::StartTimer(unsigned timerId, unsigned intervalMs) {
    return static_cast<unsigned>(SetTimer(hwnd_, timerId, intervalMs, nullptr));
}

void CMainDlg::StopTimer(unsigned timerId) {
    KillTimer(hwnd_, timerId);
}

void CMainDlg::DiscardMouseInput() {
    MSG discarded;
    while (PeekMessageA(&discarded, nullptr, WM_MOUSEFIRST, WM_MOUSEHWHEEL, PM_REMOVE)) {
    }
}

void CMainDlg::PaintSwatch(int rowEditId, Rgb colour) {
    RECT edit{};
    GetWindowRect(Item(rowEditId), &edit);
    POINT topLeft{edit.left, edit.top};
    POINT bottomRight{edit.right, edit.bottom};
    ScreenToClient(hwnd_, &topLeft);
    ScreenToClient(hwnd_, &bottomRight);

    const PixelRect swatch =
        swatchBeside(PixelRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, WindowDpi(hwnd_));

    // The default pen of a fresh window context draws the one-pixel black outline.
    win32::WindowDc dc(hwnd_);
    win32::SolidBrush brush(RGB(colour.red, colour.green, colour.blue));
    win32::SelectedObject selection(dc.Get(), brush.Get());
    Rectangle(dc.Get(), swatch.left, swatch.top, swatch.right, swatch.bottom);
}

}  // namespace sw::app
