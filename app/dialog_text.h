#pragma once
// Every text between the panel (code page 932 bytes) and the dialog's Unicode controls goes through here, and so do
// the edits' typing limits, which the panel gives in bytes.

#include <windows.h>

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "app/dialog_window.h"

namespace sw::app {

class DialogText {
public:
    explicit DialogText(const CWindow& dialog) : dialog_(dialog) {}

    // Text set here is never cut to an edit's limit.
    void SetItemText(int id, std::string_view cp932);
    // At most bufferSize - 1 bytes, cut at a character boundary.
    std::string GetItemText(int id, std::size_t bufferSize) const;
    void AddComboString(int id, std::string_view cp932);
    int FindComboStringExact(int id, std::string_view cp932) const;

    // The edit takes at most `limitBytes` bytes of code page 932 as the operator types or pastes.
    void SetEditLimit(int id, int limitBytes);
    // To be called for each EN_CHANGE. Cuts what the operator inserted beyond the edit's limit; returns true when
    // it did, and the edit then has already raised the EN_CHANGE for the cut text.
    bool OnEditChange(int id);

private:
    std::wstring WindowText(int id) const;
    void SetWindowTextOf(int id, const std::wstring& text);

    // What the program last set into a control. Code page 932 has two codes for some characters (the NEC and IBM
    // extension rows); as long as the text is unchanged it reads back as the very bytes that were set.
    struct SetText {
        std::wstring shown;
        std::string bytes;
    };
    struct LimitedEdit {
        std::size_t limitBytes = 0;
        std::wstring accepted;  // the text after its last change
    };

    const CWindow& dialog_;
    std::map<int, SetText> setTexts_;
    std::map<int, LimitedEdit> limitedEdits_;
    bool settingText_ = false;
};

}  // namespace sw::app
