#include "sim/monitor_loop.h"

namespace sw::sim {

int runMonitorLoop(HWND window, HANDLE quit) {
    bool closing = false;
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_FAILED)
            return 1;
        if (woke == WAIT_OBJECT_0 && !closing) {
            // The event stays set: close once, then let the queue run until the window's end posts WM_QUIT.
            closing = true;
            if (IsWindow(window))
                DestroyWindow(window);
            else
                PostQuitMessage(0);
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            // Tab, the arrow keys and the labels' mnemonics move among the controls as in a dialog.
            if (IsWindow(window) && IsDialogMessageW(window, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace sw::sim
