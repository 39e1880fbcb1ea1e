// The smallest program that shows a dialog from a template: the baseline the cold-start benchmark compares the
// panel's start with. It does nothing else; closing the dialog ends it.

#include <windows.h>

#include "tests/e2e/bench/bare_dialog_ids.h"

namespace {

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(kBareDialogId), nullptr, dialogProc, 0));
}
