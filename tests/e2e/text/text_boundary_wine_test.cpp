// The dialog's text boundary run for real under Wine: the code page 932 conversions as one table, and an edit that
// keeps read-back bytes and its typing limit. Runs under any system code page (the bed runs it under 1252).

#include <windows.h>

#include <string>
#include <string_view>

#include "app/cp932_text.h"
#include "app/dialog_text.h"
#include "tests/e2e/device/wine_test_runner.h"

namespace {

using sw::app::DialogText;
using sw::wine_test::Row;

struct ConversionRow {
    const char* name;
    const char* fromCp932;  // read into the window; none: only typed
    std::wstring_view wide;
    std::string_view toCp932;
};

// Where code page 932 has two codes for one character (NEC row 13 and the IBM extension rows against the standard
// rows), a changed text goes back with the code the system calls canonical; an unchanged one keeps its own bytes
// (see the next case).
const ConversionRow kConversions[] = {
    {"ASCII", "AZ az~", L"AZ az~", "AZ az~"},
    {"half-width kana", "\xB1\xB6\xDF", L"ｱｶﾟ", "\xB1\xB6\xDF"},
    // A voiced pair stays two characters here; the row encoding makes one cell of it.
    {"voiced pairs", "\xB6\xDE\xCA\xDF", L"ｶﾞﾊﾟ", "\xB6\xDE\xCA\xDF"},
    {"full-width voiced kana", "\x83\x4B\x83\x70", L"ガパ", "\x83\x4B\x83\x70"},
    {"kanji", "\x8A\xBF\x8E\x9A", L"漢字", "\x8A\xBF\x8E\x9A"},
    {"full-width forms", "\x82\x60\x81\x40\x81\x60\x81\x8F", L"Ａ　～￥", "\x82\x60\x81\x40\x81\x60\x81\x8F"},
    {"NEC row 13", "\x87\x40\x87\x54", L"①Ⅰ", "\x87\x40\x87\x54"},
    {"NEC row 13 duplicate of a standard symbol", "\x87\x90", L"≒", "\x81\xE0"},
    {"NEC-selected IBM kanji", "\xED\x40", L"纊", "\xFA\x5C"},
    {"NEC-selected IBM roman numeral", "\xEE\xEF", L"ⅰ", "\xFA\x40"},
    {"IBM duplicate of a standard symbol", "\xFA\x54", L"￢", "\x81\xCA"},
    // Unmappable: one "?" each, nothing around it lost or shifted; no look-alike ("é" is not "e").
    {"emoji", nullptr, L"a\U0001F600b", "a?b"},
    {"Korean syllable", nullptr, L"a한b", "a?b"},
    {"accented Latin letter", nullptr, L"aéb", "a?b"},
    {"lone surrogate", nullptr,
     std::wstring_view(L"a\xD83D"
                       L"b",
                       3),
     "a?b"},
};

void ConvertsWithCodePage932() {
    for (const ConversionRow& row : kConversions) {
        const Row about(row.name);
        if (row.fromCp932)
            SW_CHECK(sw::app::ToWide(row.fromCp932) == row.wide);
        SW_CHECK_EQ(sw::app::ToCp932(row.wide), std::string(row.toCp932));
    }
}

constexpr int kEditId = 57704;

// An edit on a plain parent whose EN_CHANGE goes to the text boundary, as the main dialog's does.
class EditWindow : public sw::app::CWindow {
public:
    EditWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &EditWindow::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"sw_text_boundary_test";
        RegisterClassW(&windowClass);
        hwnd_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 280, 24, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), windowClass.hInstance, nullptr);
        current = &text;
    }
    ~EditWindow() {
        current = nullptr;
        DestroyWindow(hwnd_);
    }

    DialogText text{*this};

    void Type(std::wstring_view characters) const {
        for (const wchar_t character : characters)
            SendDlgItemMessageW(hwnd_, kEditId, WM_CHAR, character, 0);
    }
    void Paste(const wchar_t* characters) const {
        SendDlgItemMessageW(hwnd_, kEditId, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(characters));
    }
    std::string Read() { return text.GetItemText(kEditId, 33); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && current)
            current->OnEditChange(LOWORD(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static inline DialogText* current = nullptr;
};

void AnUnchangedReadBackKeepsItsBytes() {
    EditWindow window;
    // NEC row 13 and NEC-selected IBM codes, which the system would give back as their other codes.
    const std::string readBack = "\x87\x90\xED\x40\xEE\xEF";
    window.text.SetItemText(kEditId, readBack);
    SW_CHECK_EQ(window.Read(), readBack);
    // Once the operator changes the text, it goes back with the canonical codes.
    SendDlgItemMessageW(window.Handle(), kEditId, EM_SETSEL, 6, 6);
    window.Type(L"A");
    SW_CHECK_EQ(window.Read(), std::string("\x81\xE0\xFA\x5C\xFA\x40"
                                           "A"));
}

// (A typed character refused at the limit is the send scenario's: there the keys are real.)
void TypingStopsAtSixteenBytes() {
    EditWindow window;
    window.text.SetEditLimit(kEditId, 16);
    {
        const Row about("a paste is cut before the first character that does not fit");
        window.text.SetItemText(kEditId, "");
        window.Paste(L"ｶﾞ漢字漢字漢字漢字漢");
        SW_CHECK_EQ(window.Read(), std::string("\xB6\xDE\x8A\xBF\x8E\x9A\x8A\xBF\x8E\x9A\x8A\xBF\x8E\x9A\x8A\xBF"));
    }
    {
        const Row about("a read-back of 16 full-width characters is not cut, and takes no more typing");
        std::string readBack;
        for (int i = 0; i < 16; ++i)
            readBack += "\x82\x60";
        window.text.SetItemText(kEditId, readBack);
        SW_CHECK_EQ(window.Read(), readBack);
        window.Type(L"A");
        SW_CHECK_EQ(window.Read(), readBack);
    }
}

// On a system whose code page is 932 a conversion through the system's code page would pass the cases above.
void RunsOnAnotherSystemCodePage() {
    SW_CHECK(GetACP() != 932);
}

}  // namespace

int main() {
    static const sw::wine_test::Case cases[] = {
        {"the system's code page is not 932 here", RunsOnAnotherSystemCodePage},
        {"converts with code page 932", ConvertsWithCodePage932},
        {"an unchanged read-back keeps its bytes", AnUnchangedReadBackKeepsItsBytes},
        {"typing stops at 16 bytes", TypingStopsAtSixteenBytes},
    };
    return sw::wine_test::RunAll(cases);
}
