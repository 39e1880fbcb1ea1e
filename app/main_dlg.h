#pragma once
// The main dialog's Win32 side: it creates the window from template 129, forwards the message map's messages to
// MainPanel and carries out the panel's view operations with Win32 calls.

#include <windows.h>

#include <string>
#include <string_view>

#include "app/app_module.h"
#include "app/dialog_text.h"
#include "app/dialog_window.h"
#include "app/message_loop.h"
#include "device/win_device_link.h"
#include "panel/dialog_view.h"
#include "panel/main_panel.h"
#include "win32/gdi_objects.h"

namespace sw::app {

class CMainDlg final : public CDialogImpl, public panel::DialogView, public CMessageFilter, public CIdleHandler {
public:
    explicit CMainDlg(CAppModule& module);
    ~CMainDlg();

    // Modeless, without owner, creation parameter 0; nullptr when the window cannot be created.
    HWND Create();

    // Enter goes to the focused control untouched, Esc is swallowed, the rest gets dialog navigation.
    bool FilterMessage(MSG& msg) override;
    bool HandleIdle() override;

    // Disconnects, destroys the window and ends the message loop with `exitCode`.
    void CloseDialog(int exitCode);

    // DialogView
    void SetItemText(int id, std::string_view text) override;
    std::string GetItemText(int id, std::size_t bufferSize) override;
    unsigned GetItemUInt(int id) override;
    int GetItemTextLength(int id) override;
    void SetEditSelection(int id, int start, int end) override;
    void SetEditLimit(int id, int limit) override;
    void EnableItem(int id, bool enable) override;
    bool IsItemChecked(int id) override;
    void SetItemChecked(int id, bool checked) override;
    void AddComboString(int id, std::string_view text) override;
    int FindComboStringExact(int id, std::string_view text) override;
    void SetComboSelection(int id, int index) override;
    int GetComboSelection(int id) override;
    void SetUpDownRange(int id, int minimum, int maximum) override;
    unsigned StartTimer(unsigned timerId, unsigned intervalMs) override;
    void StopTimer(unsigned timerId) override;
    void DiscardMouseInput() override;
    void PaintSwatch(int rowEditId, panel::Rgb colour) override;

private:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void OnInitDialog();
    bool OnCommand(int controlId, int notificationCode);
    void OnPaint();
    void OnDpiChanged(const RECT& suggested);
    void OnDestroy();

    void CentreInWorkArea();
    void SetIcons();
    void JoinMessageLoop();
    void LeaveMessageLoop();

    CAppModule& module_;
    CMessageLoop* joinedLoop_ = nullptr;
    win32::OwnedIcon bigIcon_;
    win32::OwnedIcon smallIcon_;
    DialogText text_;
    device::WinDeviceLink link_;
    panel::MainPanel panel_;
};

}  // namespace sw::app
