// The dialog's text boundary run for real under Wine: the code page 932 conversions as one table, and an edit that
// keeps read-back bytes and its typing limit. Runs under any system code page (the bed runs it under 1252).

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "app/cp932_text.h"
#include "app/dialog_text.h"
#include "cli/cp932_codec.h"
#include "protocol/row_encoder.h"
#include "tests/e2e/device/wine_test_runner.h"
#include "tests/protocol/cp932_table_digest.h"

namespace {

using sw::app::DialogText;
using sw::wine_test::Row;

struct ConversionRow {
    const char* name;
    const char* fromCp932;  // read into the window; none: only typed
    std::wstring_view wide;
    std::string_view toCp932;  // typed anew
    std::string_view cells;    // what the device gets for it
};

std::string CellsOf(const std::string& bytes) {
    const auto row = sw::protocol::encodeRowText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return {row.bytes.begin(), row.bytes.begin() + static_cast<std::ptrdiff_t>(row.length)};
}

// Where code page 932 has two codes for one character (NEC row 13 and the IBM extension rows against the standard
// rows), text typed anew gets the code the system calls canonical; a read-back keeps its own bytes (next case).
const ConversionRow kConversions[] = {
    {"ASCII", "AZ az~", L"AZ az~", "AZ az~", "\x82\x60\x82\x79\x81\x40\x82\x81\x82\x9A\x81\x60"},
    {"half-width kana", "\xB1\xB6\xDF", L"ｱｶﾟ", "\xB1\xB6\xDF", "\x83\x41\x83\x4A\x81\x4B"},
    // A voiced pair stays two characters here; the row encoding makes one cell of it.
    {"voiced pairs", "\xB6\xDE\xCA\xDF", L"ｶﾞﾊﾟ", "\xB6\xDE\xCA\xDF", "\x83\x4B\x83\x70"},
    {"full-width voiced kana", "\x83\x4B\x83\x70", L"ガパ", "\x83\x4B\x83\x70", "\x83\x4B\x83\x70"},
    {"decomposed voiced kana", nullptr, L"カ\u3099ハ\u309A", "\x83\x4B\x83\x70", "\x83\x4B\x83\x70"},
    {"kanji", "\x8A\xBF\x8E\x9A", L"漢字", "\x8A\xBF\x8E\x9A", "\x8A\xBF\x8E\x9A"},
    {"full-width forms", "\x82\x60\x81\x40\x81\x60\x81\x8F", L"Ａ　～￥", "\x82\x60\x81\x40\x81\x60\x81\x8F",
     "\x82\x60\x81\x40\x81\x60\x81\x8F"},
    // As Macs, the web and Linux write them: the code page's own characters.
    {"JIS-style forms", nullptr, L"\u301C\u2212\u00A2\u00A3\u00AC\u2016\u2014",
     "\x81\x60\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x61\x81\x5C",
     "\x81\x60\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x61\x81\x5C"},
    {"NEC row 13", "\x87\x40\x87\x54", L"①Ⅰ", "\x87\x40\x87\x54", "\x87\x40\x87\x54"},
    {"NEC row 13 duplicate of a standard symbol", "\x87\x90", L"≒", "\x81\xE0", "\x81\xE0"},
    // Typed anew, these get the IBM codes, which the row encoding gives the space cell.
    {"NEC-selected IBM kanji", "\xED\x40", L"纊", "\xFA\x5C", std::string_view("\x00\x20", 2)},
    {"NEC-selected IBM roman numeral", "\xEE\xEF", L"ⅰ", "\xFA\x40", std::string_view("\x00\x20", 2)},
    {"IBM duplicate of a standard symbol", "\xFA\x54", L"￢", "\x81\xCA", "\x81\xCA"},
    // Bytes that are no character show as U+FFFD, not as a character they are not.
    {"lead byte without its trail", "\x81 ", L"\uFFFD", "?", "\x81\x48"},
    // Unmappable: one "?" each, nothing around it lost or shifted; no look-alike ("é" is not "e").
    {"emoji", nullptr, L"a\U0001F600b", "a?b", "\x82\x81\x81\x48\x82\x82"},
    {"Korean syllable", nullptr, L"a한b", "a?b", "\x82\x81\x81\x48\x82\x82"},
    {"accented Latin letter", nullptr, L"aéb", "a?b", "\x82\x81\x81\x48\x82\x82"},
    {"lone surrogate", nullptr,
     std::wstring_view(L"a\xD83D"
                       L"b",
                       3),
     "a?b", "\x82\x81\x81\x48\x82\x82"},
};

void ConvertsWithCodePage932() {
    for (const ConversionRow& row : kConversions) {
        const Row about(row.name);
        if (row.fromCp932)
            SW_CHECK(sw::app::ToWide(std::string_view(row.fromCp932)) == row.wide);
        const std::string typed = sw::app::ToCp932(row.wide);
        SW_CHECK_EQ(typed, std::string(row.toCp932));
        SW_CHECK_EQ(CellsOf(typed), std::string(row.cells));
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
    std::wstring Shown() const {
        wchar_t shown[64] = {};
        GetDlgItemTextW(hwnd_, kEditId, shown, 64);
        return shown;
    }
    DWORD Caret() const {
        DWORD end = 0;
        SendDlgItemMessageW(hwnd_, kEditId, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
        return end;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && current)
            current->OnEditChange(LOWORD(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static inline DialogText* current = nullptr;
};

// 髙橋 as the device holds it, and NEC row 13 and NEC-selected IBM codes, which the system would give back as their
// other codes (the IBM ones blank on the device); a byte that is no character.
void AnEditedReadBackKeepsTheBytesOfWhatWasLeft() {
    EditWindow window;
    const std::string readBack = "\xEE\xE0\x8B\xB4\x87\x90\xED\x40\x81 ";
    window.text.SetItemText(kEditId, readBack);
    SW_CHECK(window.Shown() == L"髙橋≒纊\uFFFD");
    SW_CHECK_EQ(window.Read(), readBack);
    SendDlgItemMessageW(window.Handle(), kEditId, EM_SETSEL, 2, 2);
    window.Type(L"A");
    SendDlgItemMessageW(window.Handle(), kEditId, EM_SETSEL, 6, 6);
    window.Type(L"B");
    SW_CHECK_EQ(CellsOf(window.Read()), std::string("\xEE\xE0\x8B\xB4\x82\x60\x87\x90\xED\x40\x00\x00\x82\x61", 14));
    // Deleted and typed again, or undone, 髙 is the device's 髙 still.
    SendDlgItemMessageW(window.Handle(), kEditId, EM_SETSEL, 0, 1);
    window.Type(L"\b髙");
    SW_CHECK_EQ(window.Read().substr(0, 2), std::string("\xEE\xE0"));
    SendDlgItemMessageW(window.Handle(), kEditId, EM_SETSEL, 0, -1);
    window.Type(L"X");
    SendDlgItemMessageW(window.Handle(), kEditId, EM_UNDO, 0, 0);
    SW_CHECK(window.Shown() == L"髙橋A≒纊\uFFFDB");
    SW_CHECK_EQ(window.Read().substr(0, 2), std::string("\xEE\xE0"));
}

// The edit shows what is sent: a character code page 932 lacks, visible or not, turns into the "?" sent for it as it
// is pasted; the caret stays after the paste.
void ShowsTheQuestionMarkThatIsSent() {
    EditWindow window;
    window.text.SetEditLimit(kEditId, 16);
    window.text.SetItemText(kEditId, "Z");
    SendDlgItemMessageW(window.Handle(), kEditId, EM_SETSEL, 1, 1);
    window.Paste(L"A\u00A0B\u200B\u00A5\uFEFF\U0001F600");
    SW_CHECK(window.Shown() == L"ZA?B?\u00A5??");
    SW_CHECK_EQ(window.Read(), std::string("ZA?B?\x81\x8F??"));
    SW_CHECK_EQ(window.Caret(), DWORD{8});
}

// The panel's tables and the Windows companion's give what iconv's give on Linux, for every BMP character.
void TablesMatchTheLinuxCompanion() {
    for (const auto& [name, codec] : {std::pair("panel", &sw::app::kCp932), std::pair("companion", &sw::cli::kCp932)}) {
        const Row about(name);
        const sw::test::TableDigest digest = sw::test::digestTables(*codec);
        std::printf("  %s: typed %016llx, read %016llx\n", name, static_cast<unsigned long long>(digest.typed),
                    static_cast<unsigned long long>(digest.read));
        SW_CHECK(digest == sw::test::kCp932TableDigest);
    }
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
    for (const wchar_t* full : {L"AAAAAAAAAAAAAAAA", L"漢漢漢漢漢漢漢漢"}) {
        const Row about("a refused keystroke leaves the caret where it was typed");
        window.text.SetItemText(kEditId, "");
        window.Type(full);
        SendDlgItemMessageW(window.Handle(), kEditId, EM_SETSEL, 3, 3);
        window.Type(L"A");
        SW_CHECK(window.Shown() == full);
        SW_CHECK_EQ(window.Caret(), DWORD{3});
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
        {"an edited read-back keeps the bytes of what was left", AnEditedReadBackKeepsTheBytesOfWhatWasLeft},
        {"the edit shows the \"?\" that is sent", ShowsTheQuestionMarkThatIsSent},
        {"the tables match the Linux companion's", TablesMatchTheLinuxCompanion},
        {"typing stops at 16 bytes", TypingStopsAtSixteenBytes},
    };
    return sw::wine_test::RunAll(cases);
}
