#include "app/dialog_text.h"

#include "app/cp932_text.h"

#include <algorithm>

namespace sw::app {

using protocol::PieceText;

namespace {

std::size_t utf16Units(const PieceText& text, std::size_t pieces) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < pieces; ++i) {
        for (const char32_t c : text[i].shown)
            units += c > 0xFFFF ? 2 : 1;
    }
    return units;
}

}  // namespace

void DialogText::SetItemText(int id, std::string_view cp932) {
    // Remembered first: the edit's EN_CHANGE, raised inside the call, may already read it back.
    protocol::EditedRow& text = texts_[id];
    text = protocol::rowFromDevice(cp932, kCp932);
    SetWindowTextOf(id, ToWide(text.pieces));
}

std::string DialogText::GetItemText(int id, std::size_t bufferSize) const {
    PieceText pieces = CurrentText(id).pieces;
    while (!pieces.empty() && protocol::joinBytes(pieces).size() + 1 > bufferSize)
        pieces.pop_back();
    return protocol::joinBytes(pieces);
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
    limits_[id] = static_cast<std::size_t>(limitBytes);
    texts_[id] = CurrentText(id);
}

bool DialogText::OnEditChange(int id) {
    protocol::EditedRow& text = texts_[id];
    const std::wstring shown = WindowText(id);
    protocol::PieceEdit edit = protocol::alignEdit(text, ToCodePoints(shown), kCp932, CaretIn(id, shown));
    const auto limit = limits_.find(id);
    if (!settingText_ && limit != limits_.end())
        protocol::fitEdit(text.pieces, edit, limit->second);
    protocol::applyEdit(text, edit);
    const std::wstring after = ToWide(text.pieces);
    if (after == shown)
        return false;
    // The caret stays after what was inserted, as the edit itself leaves it.
    const std::size_t caret = utf16Units(text.pieces, edit.keptFront + edit.inserted.size());
    SetWindowTextOf(id, after);
    SendDlgItemMessageW(dialog_.Handle(), id, EM_SETSEL, caret, caret);
    SendDlgItemMessageW(dialog_.Handle(), id, EM_SCROLLCARET, 0, 0);
    return true;
}

std::size_t DialogText::CaretIn(int id, std::wstring_view text) const {
    DWORD end = 0;
    SendDlgItemMessageW(dialog_.Handle(), id, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return ToCodePoints(text.substr(0, std::min<std::size_t>(end, text.size()))).size();
}

protocol::EditedRow DialogText::CurrentText(int id) const {
    const auto found = texts_.find(id);
    protocol::EditedRow text = found != texts_.end() ? found->second : protocol::EditedRow{};
    const std::wstring shown = WindowText(id);
    protocol::applyEdit(text, protocol::alignEdit(text, ToCodePoints(shown), kCp932, CaretIn(id, shown)));
    return text;
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
