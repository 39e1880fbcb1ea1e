#pragma once
// The panel's narrow view of the dialog: its controls addressed by ID, its timers and its message queue.
// CMainDlg implements it with Win32 calls; tests use a fake with the same synchronous notifications.
//
// Win32 semantics the flows rely on, which every implementation must keep:
// - SetItemText on an edit raises EN_CHANGE for it before returning, also when the text is unchanged;
// - EnableItem(id, false) on the focused control takes the focus away inside the call (EN_KILLFOCUS);
// - text set by the program is not cut to the edit's typing limit.

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/colour_palette.h"

namespace sw::panel {

using protocol::Rgb;

class DialogView {
public:
    virtual ~DialogView() = default;

    // Texts are code page 932 bytes; the window side converts them.
    virtual void SetItemText(int id, std::string_view text) = 0;          // WM_SETTEXT
    virtual std::string GetItemText(int id, std::size_t bufferSize) = 0;  // WM_GETTEXT, at most bufferSize - 1 bytes
    virtual unsigned GetItemUInt(int id) = 0;   // GetDlgItemInt, unsigned, no success flag: leading digits or 0
    virtual int GetItemTextLength(int id) = 0;  // WM_GETTEXTLENGTH
    virtual void SetEditSelection(int id, int start, int end) = 0;        // EM_SETSEL
    virtual void SetEditLimit(int id, int limit) = 0;                     // EM_LIMITTEXT
    virtual void EnableItem(int id, bool enable) = 0;                     // EnableWindow
    virtual bool IsItemChecked(int id) = 0;                               // BM_GETCHECK == BST_CHECKED
    virtual void SetItemChecked(int id, bool checked) = 0;                // BM_SETCHECK
    virtual void AddComboString(int id, std::string_view text) = 0;       // CB_ADDSTRING
    virtual int FindComboStringExact(int id, std::string_view text) = 0;  // CB_FINDSTRINGEXACT from -1; -1: none
    virtual void SetComboSelection(int id, int index) = 0;                // CB_SETCURSEL
    virtual int GetComboSelection(int id) = 0;                            // CB_GETCURSEL; -1: none
    virtual void SetUpDownRange(int id, int minimum, int maximum) = 0;    // UDM_SETRANGE

    // SetTimer on the dialog: the timer's ID, or 0 when it cannot be started. Restarts a running timer.
    virtual unsigned StartTimer(unsigned timerId, unsigned intervalMs) = 0;
    virtual void StopTimer(unsigned timerId) = 0;  // KillTimer

    // Removes every queued mouse message of the thread (WM_MOUSEFIRST..WM_MOUSEHWHEEL); other input stays.
    virtual void DiscardMouseInput() = 0;
    // Paints one swatch left of the row edit `rowEditId` in `colour`.
    virtual void PaintSwatch(int rowEditId, Rgb colour) = 0;
};

}  // namespace sw::panel
