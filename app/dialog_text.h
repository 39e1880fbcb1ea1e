#pragma once
// Every text between the panel (code page 932 bytes) and the dialog's Unicode controls goes through here, and so do
// the edits' typing limits, which the panel gives in bytes.

#include <windows.h>

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "app/dialog_window.h"
#include "protocol/row_text.h"

namespace sw::app {

class DialogText {
public:
    explicit DialogText(const CWindow& dialog) : dialog_(dialog) {}

    // Text set here is never cut to an edit's limit.
    void SetItemText(int id, std::string_view cp932);
    // At most bufferSize - 1 bytes, cut at a character boundary. A character the program set keeps the very bytes
    // that were set wherever it stands again (left, undone, pasted back, typed again); only characters it never
    // held are converted.
    std::string GetItemText(int id, std::size_t bufferSize) const;
    void AddComboString(int id, std::string_view cp932);
    int FindComboStringExact(int id, std::string_view cp932) const;

    // The edit takes at most `limitBytes` bytes of code page 932 as the operator types or pastes.
    void SetEditLimit(int id, int limitBytes);
    // To be called for each EN_CHANGE. Follows the operator's change, so that the characters the program set keep
    // their bytes, cuts what was inserted beyond the edit's limit, and shows a character that code page 932 has no
    // form for as the "?" that is sent for it; returns true when it changed the edit's text, and the edit then has
    // already raised the EN_CHANGE for the new text.
    bool OnEditChange(int id);

private:
    std::wstring WindowText(int id) const;
    void SetWindowTextOf(int id, const std::wstring& text);
    // Where the caret stands, in code points of `text`.
    std::size_t CaretIn(int id, std::wstring_view text) const;
    // The control's text as pieces: what was last set or seen, followed into what the window shows now.
    protocol::EditedRow CurrentText(int id) const;

    const CWindow& dialog_;
    std::map<int, protocol::EditedRow> texts_;
    std::map<int, std::size_t> limits_;
    bool settingText_ = false;
};

}  // namespace sw::app
