#include "app/dialog_text.h"

#include "app/cp932_text.h"

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
    PieceText& text = texts_[id];
    text = protocol::piecesFromBytes(cp932, kCp932);
    SetWindowTextOf(id, ToWide(text));
}

std::string DialogText::GetItemText(int id, std::size_t bufferSize) const {
    std::string bytes;
    for (const protocol::TextPiece& piece : CurrentPieces(id)) {
        if (bytes.size() + piece.bytes.size() + 1 > bufferSize)
            break;
        bytes += piece.bytes;
    }
    return bytes;
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
    texts_[id] = CurrentPieces(id);
}

bool DialogText::OnEditChange(int id) {
    PieceText& before = texts_[id];
    protocol::PieceEdit edit = protocol::alignEdit(before, ToCodePoints(WindowText(id)), kCp932);
    const auto limit = limits_.find(id);
    const bool cut = !settingText_ && limit != limits_.end() && protocol::fitEdit(before, edit, limit->second);
    PieceText after = protocol::applyEdit(before, edit);
    const std::size_t caret = utf16Units(after, edit.keptFront + edit.inserted.size());
    before = std::move(after);
    if (!cut)
        return false;
    SetWindowTextOf(id, ToWide(before));
    SendDlgItemMessageW(dialog_.Handle(), id, EM_SETSEL, caret, caret);
    return true;
}

PieceText DialogText::CurrentPieces(int id) const {
    static const PieceText kNone;
    const auto found = texts_.find(id);
    const PieceText& before = found != texts_.end() ? found->second : kNone;
    return protocol::applyEdit(before, protocol::alignEdit(before, ToCodePoints(WindowText(id)), kCp932));
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
