#include "sim/monitor_window.h"

#include <algorithm>
#include <cwchar>
#include <initializer_list>
#include <vector>

#include "sim/monitor_ids.h"
#include "sim/osd_layout.h"

namespace sw::sim {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelOt40SimMonitor";
constexpr wchar_t kPictureClass[] = L"ZelOt40SimPicture";

// Posted by the model's observer; the window looks at the model when it handles it.
constexpr UINT kModelChanged = WM_APP + 1;
// Opening and closing the pipe does not change the model: the connection count is looked at now and then.
constexpr UINT_PTR kActivityTimer = 1;
constexpr UINT kActivityPeriodMs = 250;

constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kMaxResolution = 4095;
constexpr int kInitialPictureWidth = 600;

// Marks the time in which the window fills its controls from the model, so that their notifications are not taken
// for the operator's changes.
class ShowingModel {
public:
    explicit ShowingModel(bool& flag) : flag_(flag) { flag_ = true; }
    ~ShowingModel() { flag_ = false; }
    ShowingModel(const ShowingModel&) = delete;
    ShowingModel& operator=(const ShowingModel&) = delete;

private:
    bool& flag_;
};

bool checked(HWND box) {
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setChecked(HWND box, bool on) {
    SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::uint16_t readResolution(HWND edit) {
    wchar_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    const long value = std::wcstol(text, nullptr, 10);
    return static_cast<std::uint16_t>(std::clamp<long>(value, 0, kMaxResolution));
}

// A look at the model, taken under the server's lock.
struct ModelView {
    MonitorFrame frame;
    Faults faults;
    LinkActivity activity;
};

ModelView lookAt(const Ot40Model& model) {
    ModelView view;
    view.frame = {model.settings(), model.signal()};
    view.faults = model.faults();
    view.activity.reports = model.receivedCount();
    view.activity.unplugged = model.unplugged();
    view.activity.writesStalled = model.writesStalled();
    // The latest report with a code byte; a few cut reports in a row are as far back as it is worth looking.
    const auto& log = model.wireLog();
    for (auto entry = log.rbegin(); entry != log.rend() && entry - log.rbegin() < 8; ++entry) {
        if (entry->bytes.size() >= 2) {
            view.activity.lastCode = entry->bytes[1];
            break;
        }
    }
    return view;
}

// The server's withModel hands a result back through a reference to its own local, so the look is copied out
// from inside the call instead.
ModelView lookAt(PipeDeviceServer& server) {
    ModelView view;
    server.withModel([&view](Ot40Model& model) { view = lookAt(model); });
    return view;
}

}  // namespace

MonitorWindow::MonitorWindow(PipeDeviceServer& server) : server_(server) {}

MonitorWindow::~MonitorWindow() {
    // Under the server's lock: once this returns, no observer call is running or will come.
    server_.withModel([](Ot40Model& model) { model.setObserver(nullptr); });
    if (window_ != nullptr && IsWindow(window_))
        DestroyWindow(window_);
}

bool MonitorWindow::create(HINSTANCE instance, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MonitorWindow::windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0)
        return false;

    WNDCLASSEXW pictureClass{};
    pictureClass.cbSize = sizeof pictureClass;
    pictureClass.style = CS_HREDRAW | CS_VREDRAW;
    pictureClass.lpfnWndProc = &MonitorWindow::pictureProc;
    pictureClass.hInstance = instance;
    pictureClass.hCursor = windowClass.hCursor;
    pictureClass.lpszClassName = kPictureClass;  // no background brush: every paint covers the whole view
    if (RegisterClassExW(&pictureClass) == 0)
        return false;

    if (CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, kMonitorTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                        this) == nullptr)
        return false;

    // A 16:9 picture above the strip.
    RECT frame{0, 0, kInitialPictureWidth, 0};
    frame.bottom = frame.right * 9 / 16 + stripHeight(frame.right);
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    server_.withModel([this](Ot40Model& model) {
        // Called under the server's lock, on whichever thread changed the model: only a message leaves here.
        model.setObserver([this, window = window_] {
            if (!changePosted_.exchange(true))
                PostMessageW(window, kModelChanged, 0, 0);
        });
    });
    showModelInControls();
    onModelChanged();
    SetTimer(window_, kActivityTimer, kActivityPeriodMs, nullptr);
    ShowWindow(window_, showCommand);
    SetFocus(controls_.signal);
    return true;
}

LRESULT CALLBACK MonitorWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MonitorWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MonitorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT CALLBACK MonitorWindow::pictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything; erasing first would flicker
        case WM_PAINT: {
            auto* self = reinterpret_cast<MonitorWindow*>(GetWindowLongPtrW(GetParent(window), GWLP_USERDATA));
            if (self != nullptr) {
                self->paintPicture();
                return 0;
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MonitorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreate() ? 0 : -1;
        case WM_SIZE:
            onSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            onActivate(wParam);
            return 0;
        case WM_SETFOCUS:
            SetFocus(focus_ != nullptr && IsWindow(focus_) ? focus_ : controls_.signal);
            return 0;
        case WM_NEXTDLGCTL:
            onNextControl(wParam, lParam);
            return 0;
        case WM_GETMINMAXINFO:
            onMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == kActivityTimer) {
                LinkActivity activity = activity_;
                activity.connections = server_.connectionCount();
                refreshActivity(activity);
            }
            return 0;
        case kModelChanged:
            onModelChanged();
            return 0;
        case WM_CLOSE:
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            KillTimer(window_, kActivityTimer);
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            // The last message: the window forgets this object, which may outlive it.
            HWND window = window_;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

HWND MonitorWindow::addControl(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id) {
    HWND control = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (control != nullptr && font_.get() != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

int MonitorWindow::textWidth(const wchar_t* text) const {
    win32::WindowDc dc(window_);
    win32::SelectedObject selected(dc.Get(), font_.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), text, static_cast<int>(std::wcslen(text)), &size);
    return size.cx;
}

bool MonitorWindow::onCreate() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    if (font_.get() != nullptr) {
        win32::WindowDc dc(window_);
        win32::SelectedObject selected(dc.Get(), font_.get());
        TEXTMETRICW text{};
        GetTextMetricsW(dc.Get(), &text);
        lineHeight_ = std::max(24, static_cast<int>(text.tmHeight) + 12);
    }

    Controls& c = controls_;
    // Creation order is the tab order; a label's mnemonic moves the focus to the control after it.
    c.picture = CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMonitorPictureId)), nullptr, nullptr);
    c.format = addControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kMonitorFormatId);
    HWND signalLabel = addControl(L"STATIC", L"&Signal:", SS_LEFT, -1);
    c.signal = addControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, kMonitorSignalId);
    HWND widthLabel = addControl(L"STATIC", L"&Width:", SS_LEFT, -1);
    c.width = addControl(L"EDIT", L"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, kMonitorWidthId);
    HWND heightLabel = addControl(L"STATIC", L"&Height:", SS_LEFT, -1);
    c.height =
        addControl(L"EDIT", L"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, kMonitorHeightId);
    c.interlaced = addControl(L"BUTTON", L"&Interlaced", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kMonitorInterlacedId);
    HWND patternLabel = addControl(L"STATIC", L"&Pattern:", SS_LEFT, -1);
    c.pattern = addControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, kMonitorPatternId);
    c.late = addControl(L"BUTTON", L"&Late answers", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kMonitorLateId);
    c.wrongEcho =
        addControl(L"BUTTON", L"Wrong &echo code", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kMonitorWrongEchoId);
    c.stalled = addControl(L"BUTTON", L"S&talled writes", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kMonitorStalledId);
    c.stallMidSend =
        addControl(L"BUTTON", L"Stall &mid-send", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kMonitorStallMidSendId);
    c.unplugged = addControl(L"BUTTON", L"&Unplugged", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kMonitorUnpluggedId);
    c.status = addControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | WS_GROUP, kMonitorStatusId);
    const std::initializer_list<HWND> all = {c.picture,   c.format,  signalLabel,    c.signal,     widthLabel, c.width,
                                             heightLabel, c.height,  c.interlaced,   patternLabel, c.pattern,  c.late,
                                             c.wrongEcho, c.stalled, c.stallMidSend, c.unplugged,  c.status};
    if (std::ranges::any_of(all, [](HWND h) { return h == nullptr; }))
        return false;

    int widestChoice = 0;
    for (int choice = 0; choice < kSignalChoiceCount; ++choice) {
        const std::wstring label = signalChoiceLabel(choice);
        SendMessageW(c.signal, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
        widestChoice = std::max(widestChoice, textWidth(label.c_str()));
    }
    for (const wchar_t* pattern : {L"1", L"2", L"3", L"4"})
        SendMessageW(c.pattern, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pattern));
    SendMessageW(c.width, EM_LIMITTEXT, 4, 0);
    SendMessageW(c.height, EM_LIMITTEXT, 4, 0);

    const int box = GetSystemMetrics(SM_CXMENUCHECK) + 8;
    const int digits = textWidth(L"00000") + 8;
    strip_ = {
        {{signalLabel, textWidth(L"Signal:")}, {c.signal, widestChoice + GetSystemMetrics(SM_CXVSCROLL) + 12}},
        {{widthLabel, textWidth(L"Width:")}, {c.width, digits}},
        {{heightLabel, textWidth(L"Height:")}, {c.height, digits}},
        {{c.interlaced, textWidth(L"Interlaced") + box}},
        {{patternLabel, textWidth(L"Pattern:")}, {c.pattern, textWidth(L"0") + GetSystemMetrics(SM_CXVSCROLL) + 24}},
        {{c.late, textWidth(L"Late answers") + box}},
        {{c.wrongEcho, textWidth(L"Wrong echo code") + box}},
        {{c.stalled, textWidth(L"Stalled writes") + box}},
        {{c.stallMidSend, textWidth(L"Stall mid-send") + box}},
        {{c.unplugged, textWidth(L"Unplugged") + box}},
    };
    return true;
}

std::vector<std::vector<int>> MonitorWindow::stripWidths() const {
    std::vector<std::vector<int>> widths;
    for (const auto& group : strip_) {
        widths.emplace_back();
        for (const StripItem& item : group)
            widths.back().push_back(item.width);
    }
    return widths;
}

int MonitorWindow::stripHeight(int clientWidth) const {
    const Flow flow = flowStrip(stripWidths(), clientWidth - 2 * kMargin, kGap);
    return (flow.lines + 2) * lineHeight_ + kMargin;
}

void MonitorWindow::onSize(int width, int height) {
    // The picture takes what the format label, the strip and the status line leave.
    const int controlHeight = lineHeight_ - 6;
    const int top = std::max(0, height - stripHeight(width));
    MoveWindow(controls_.picture, 0, 0, width, top, TRUE);
    MoveWindow(controls_.format, kMargin, top + 3, std::max(0, width - 2 * kMargin), controlHeight, TRUE);

    const Flow flow = flowStrip(stripWidths(), width - 2 * kMargin, kGap);
    const int stripTop = top + lineHeight_;
    for (std::size_t g = 0; g < strip_.size(); ++g) {
        for (std::size_t i = 0; i < strip_[g].size(); ++i) {
            const StripItem& item = strip_[g][i];
            const FlowPlace& place = flow.places[g][i];
            // A drop-down list is as high as its list when open.
            const bool list = item.control == controls_.signal || item.control == controls_.pattern;
            MoveWindow(item.control, kMargin + place.x, stripTop + place.line * lineHeight_ + 3, item.width,
                       list ? controlHeight * 10 : controlHeight, TRUE);
        }
    }
    MoveWindow(controls_.status, kMargin, stripTop + flow.lines * lineHeight_ + 3, std::max(0, width - 2 * kMargin),
               controlHeight, TRUE);
    // Controls that moved to another line leave their old picture behind unless everything is drawn afresh.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MonitorWindow::onMinMaxInfo(MINMAXINFO& info) const {
    const int width = widestGroup(stripWidths(), kGap) + 2 * kMargin;
    RECT frame{0, 0, width, stripHeight(width) + lineHeight_ * 3};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    info.ptMinTrackSize.x = frame.right - frame.left;
    info.ptMinTrackSize.y = frame.bottom - frame.top;
}

void MonitorWindow::onActivate(WPARAM wParam) {
    // A plain window does not keep its focused control over a switch to another window, as a dialog does.
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus))
            focus_ = focus;
    } else {
        SetFocus(focus_ != nullptr && IsWindow(focus_) ? focus_ : controls_.signal);
    }
}

// IsDialogMessage moves the focus with this message, also for a label's mnemonic; a plain window has to do what
// the dialog manager would.
void MonitorWindow::onNextControl(WPARAM wParam, LPARAM lParam) {
    HWND next = nullptr;
    if (LOWORD(lParam) != 0)
        next = reinterpret_cast<HWND>(wParam);
    else
        next = GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
    if (next == nullptr || !IsChild(window_, next))
        return;
    SetFocus(next);
    // An edit reached from the keyboard has its text selected, ready to be typed over.
    if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(next, EM_SETSEL, 0, -1);
}

void MonitorWindow::onCommand(int id, int notification) {
    if (showingModel_)
        return;
    switch (id) {
        case kMonitorSignalId:
        case kMonitorPatternId:
            if (notification == CBN_SELCHANGE)
                applySignal();
            break;
        case kMonitorWidthId:
        case kMonitorHeightId:
            if (notification == EN_CHANGE)
                applySignal();
            break;
        case kMonitorInterlacedId:
            if (notification == BN_CLICKED)
                applySignal();
            break;
        case kMonitorLateId:
        case kMonitorWrongEchoId:
        case kMonitorStalledId:
        case kMonitorStallMidSendId:
        case kMonitorUnpluggedId:
            if (notification == BN_CLICKED)
                onFaultSwitch(id);
            break;
        default:
            break;  // IDCANCEL from Esc among them: the monitor closes only on purpose
    }
}

void MonitorWindow::applySignal() {
    const int choice = static_cast<int>(SendMessageW(controls_.signal, CB_GETCURSEL, 0, 0));
    const int pattern = static_cast<int>(SendMessageW(controls_.pattern, CB_GETCURSEL, 0, 0)) + 1;
    const bool explicitChoice = choice == kExplicitSignalChoice;
    for (HWND control : {controls_.width, controls_.height, controls_.interlaced})
        EnableWindow(control, explicitChoice);
    const ExplicitResolution resolution{readResolution(controls_.width), readResolution(controls_.height),
                                        checked(controls_.interlaced)};
    server_.withModel([&](Ot40Model& model) {
        InputSignal signal = withSignalChoice(model.signal(), std::max(choice, 0), resolution);
        signal.osdPattern = std::clamp(pattern, 1, 4);
        model.setSignal(signal);
    });
}

void MonitorWindow::onFaultSwitch(int id) {
    const Controls& c = controls_;
    switch (id) {
        case kMonitorLateId:
            applyFaultSwitch(FaultSwitch::LateAnswers, c.late);
            break;
        case kMonitorWrongEchoId:
            applyFaultSwitch(FaultSwitch::WrongEcho, c.wrongEcho);
            break;
        case kMonitorStalledId:
            applyFaultSwitch(FaultSwitch::StalledWrites, c.stalled);
            break;
        case kMonitorStallMidSendId:
            applyFaultSwitch(FaultSwitch::StallMidSend, c.stallMidSend);
            break;
        default:
            applyFaultSwitch(FaultSwitch::Unplugged, c.unplugged);
            break;
    }
}

void MonitorWindow::applyFaultSwitch(FaultSwitch which, HWND box) {
    const bool on = checked(box);
    // The two stall switches set one stall point: the one turned on last holds it.
    if (on && which == FaultSwitch::StalledWrites)
        setChecked(controls_.stallMidSend, false);
    if (on && which == FaultSwitch::StallMidSend)
        setChecked(controls_.stalled, false);
    server_.withModel(
        [&](Ot40Model& model) { model.setFaults(withFaultSwitch(model.faults(), which, on, model.receivedCount())); });
}

void MonitorWindow::showModelInControls() {
    const ModelView view = lookAt(server_);
    ShowingModel showing(showingModel_);
    const InputSignal& signal = view.frame.signal;
    const int choice = signalChoiceOf(signal);
    SendMessageW(controls_.signal, CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
    SendMessageW(controls_.pattern, CB_SETCURSEL, static_cast<WPARAM>(std::clamp(signal.osdPattern, 1, 4) - 1), 0);
    // The explicit fields show what the device holds, or a usual resolution to start from.
    const ExplicitResolution start;
    SetWindowTextW(controls_.width, std::to_wstring(signal.explicitResolution ? signal.width : start.width).c_str());
    SetWindowTextW(controls_.height, std::to_wstring(signal.explicitResolution ? signal.height : start.height).c_str());
    setChecked(controls_.interlaced, signal.explicitResolution && signal.interlaced);
    for (HWND control : {controls_.width, controls_.height, controls_.interlaced})
        EnableWindow(control, choice == kExplicitSignalChoice);
    setChecked(controls_.late, faultSwitchOn(view.faults, FaultSwitch::LateAnswers));
    setChecked(controls_.wrongEcho, faultSwitchOn(view.faults, FaultSwitch::WrongEcho));
    setChecked(controls_.stalled, faultSwitchOn(view.faults, FaultSwitch::StalledWrites));
    setChecked(controls_.unplugged, faultSwitchOn(view.faults, FaultSwitch::Unplugged));
}

void MonitorWindow::onModelChanged() {
    // Cleared before looking, so a change made while this runs posts its own message.
    changePosted_ = false;
    ModelView view = lookAt(server_);
    view.activity.connections = server_.connectionCount();
    if (view.frame != frame_) {
        frame_ = view.frame;
        // Painted now rather than when the queue runs dry, so a live position change shows within a frame.
        InvalidateRect(controls_.picture, nullptr, FALSE);
        UpdateWindow(controls_.picture);
    }
    setTextIfChanged(controls_.format, formatLabel(pictureFormat(frame_.signal)));
    refreshActivity(view.activity);
}

void MonitorWindow::refreshActivity(const LinkActivity& activity) {
    if (activity == activity_ && GetWindowTextLengthW(controls_.status) > 0)
        return;
    activity_ = activity;
    setTextIfChanged(controls_.status, statusLine(activity_));
}

void MonitorWindow::setTextIfChanged(HWND control, const std::wstring& text) {
    std::vector<wchar_t> current(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    GetWindowTextW(control, current.data(), static_cast<int>(current.size()));
    if (text != current.data())
        SetWindowTextW(control, text.c_str());
}

void MonitorWindow::paintPicture() {
    win32::PaintScope paint(controls_.picture);
    RECT client{};
    GetClientRect(controls_.picture, &client);
    win32::BackBuffer buffer(paint.dc(), client.right, client.bottom);
    if (!buffer.ready())
        return;
    paintMonitorFrame(buffer, frame_);
    BitBlt(paint.dc(), 0, 0, client.right, client.bottom, buffer.dc(), 0, 0, SRCCOPY);
}

}  // namespace sw::sim
