#pragma once
// A thin window wrapper and a modeless dialog base that routes the dialog procedure to a C++ object.

#include <windows.h>

namespace sw::app {

class CWindow {
public:
    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    bool ShowWindow(int showCmd) const { return ::ShowWindow(hwnd_, showCmd) != FALSE; }

protected:
    HWND hwnd_ = nullptr;
};

// The object is bound to its window at the first message the dialog procedure receives (WM_SETFONT, while the
// template's controls are still to be made), so that notifications the controls send during creation and
// during WM_INITDIALOG already reach it. The creation parameter stays free for the caller.
class CDialogImpl : public CWindow {
public:
    CDialogImpl(const CDialogImpl&) = delete;
    CDialogImpl& operator=(const CDialogImpl&) = delete;

    // Modeless; nullptr when the window cannot be created.
    HWND Create(HINSTANCE instance, int templateId, HWND owner, LPARAM param);
    // Destroys the window if it still exists; the object hears its last messages (WM_DESTROY, WM_NCDESTROY).
    void DestroyWindow();

protected:
    CDialogImpl() = default;
    // A derived class destroys its window in its own destructor, while its handlers can still run.
    ~CDialogImpl();

    // Returns whether the message was handled; `result` is then what the dialog procedure returns.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // The object whose window CreateDialogParamW is making on this thread.
    static thread_local CDialogImpl* creating_;
};

}  // namespace sw::app
