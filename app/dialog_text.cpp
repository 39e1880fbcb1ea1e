#include "app/dialog_text.h"

#include "app/cp932_fit.h"
#include "app/cp932_text.h"

namespace sw::app {

void DialogText::SetItemText(int id, std::string_view cp932) {
    // Remembered first: the edit's EN_CHANGE, raised inside the call, may already read it back.
    SetText& set = setTexts_[id];
    set = SetText{ToWide(cp932), std::string(cp932)};
    SetWindowTextOf(id, set.shown);
}

std::string DialogText::GetItemText(int id, std::size_t bufferSize) const {
    if (bufferSize == 0)
        return {};
    const std::wstring shown = WindowText(id);
    const auto set = setTexts_.find(id);
    const std::string text = set != setTexts_.end() && set->second.shown == shown ? set->second.bytes : ToCp932(shown);
    return std::string(CutCp932(text, bufferSize - 1));
}

void DialogText::AddComboString(int id, std::string_view cp932) {
    const std::wstring wide = ToWide(cp932);
    SendDlgItemMessageW(dialog_.Handle(), id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

int DialogText::FindComboStringExact(int id, std::string_view cp932) const {
    const std::wstring wide = ToWide(cp932);
    return static_cast<int>(SendDlgItemMessageW(dialog_.Handle(), id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(wide.c_str())));
}

void DialogText::SetEditLimit(int id, int limitBytes) {
    // The edit's own limit counts UTF-16 units. Each unit is at least one byte, so it never refuses what fits in
    // bytes (but for a character outside the BMP, which takes two units and becomes one "?"), and it keeps a fifth
    // digit out of a position edit before any notification.
    SendDlgItemMessageW(dialog_.Handle(), id, EM_LIMITTEXT, static_cast<WPARAM>(limitBytes), 0);
    limitedEdits_[id] = LimitedEdit{static_cast<std::size_t>(limitBytes), WindowText(id)};
}

bool DialogText::OnEditChange(int id) {
    const auto found = limitedEdits_.find(id);
    if (found == limitedEdits_.end())
        return false;
    LimitedEdit& edit = found->second;
    std::wstring now = WindowText(id);
    if (!settingText_) {
        const auto fitted = FitTyping<wchar_t>(edit.accepted, now, edit.limitBytes, Cp932Bytes);
        if (fitted) {
            SetWindowTextOf(id, fitted->text);
            SendDlgItemMessageW(dialog_.Handle(), id, EM_SETSEL, static_cast<WPARAM>(fitted->caret),
                                static_cast<LPARAM>(fitted->caret));
            edit.accepted = fitted->text;
            return true;
        }
    }
    edit.accepted = std::move(now);
    return false;
}

std::wstring DialogText::WindowText(int id) const {
    const HWND control = dialog_.Item(id);
    const int length = GetWindowTextLengthW(control);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void DialogText::SetWindowTextOf(int id, const std::wstring& text) {
    // The edit raises EN_CHANGE inside the call; that change is the program's, not the operator's.
    const bool outer = settingText_;
    settingText_ = true;
    SetDlgItemTextW(dialog_.Handle(), id, text.c_str());
    settingText_ = outer;
}

}  // namespace sw::app
