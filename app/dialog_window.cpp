#include "app/dialog_window.h"

namespace sw::app {

thread_local CDialogImpl* CDialogImpl::creating_ = nullptr;

HWND CDialogImpl::Create(HINSTANCE instance, int templateId, HWND owner, LPARAM param) {
    creating_ = this;
    HWND created = CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, &CDialogImpl::DialogProc, param);
    creating_ = nullptr;
    return created;
}

void CDialogImpl::DestroyWindow() {
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
}

CDialogImpl::~CDialogImpl() {
    if (hwnd_ == nullptr)
        return;
    // Too late for the derived handlers: the window's last messages go to the default processing only.
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    ::DestroyWindow(hwnd_);
}

INT_PTR CALLBACK CDialogImpl::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDialogImpl*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr && creating_ != nullptr) {
        self = creating_;
        creating_ = nullptr;
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr)
        return FALSE;

    INT_PTR result = FALSE;
    const bool handled = self->HandleMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return handled ? result : FALSE;
}

}  // namespace sw::app
