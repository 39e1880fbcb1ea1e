#include "tests/panel/fake_dialog.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "panel/control_ids.h"
#include "panel/main_panel.h"

namespace sw::test {

using namespace sw::panel;
using namespace sw::protocol;

namespace {

constexpr int kBnClicked = 0;

bool isRadio(int id) {
    return id >= IDC_SIZE_X1 && id <= IDC_SIZE_X4;
}

}  // namespace

FakeDialog::FakeDialog(sim::VirtualClock& clock) : clock_(clock) {
    const std::pair<int, ControlKind> layout[] = {
        {IDC_CLOSE, ControlKind::Button},    {IDC_PRODUCT, ControlKind::Combo},
        {IDC_CONNECT, ControlKind::Button},  {IDC_H_EDIT, ControlKind::NumberEdit},
        {IDC_H_UPDOWN, ControlKind::UpDown}, {IDC_V_EDIT, ControlKind::NumberEdit},
        {IDC_V_UPDOWN, ControlKind::UpDown}, {IDC_COLOUR1, ControlKind::Combo},
        {IDC_COLOUR2, ControlKind::Combo},   {IDC_SIZE_X1, ControlKind::Radio},
        {IDC_SIZE_X2, ControlKind::Radio},   {IDC_SIZE_X3, ControlKind::Radio},
        {IDC_SIZE_X4, ControlKind::Radio},   {IDC_HALFTONE, ControlKind::Check},
        {IDC_ROW1, ControlKind::Edit},       {IDC_ROW2, ControlKind::Edit},
        {IDC_SEND, ControlKind::Button},     {IDC_DEVICE_TEXT, ControlKind::ReadOnlyEdit},
        {IDC_RECEIVE, ControlKind::Button},  {IDC_STATUS, ControlKind::Static},
    };
    for (auto [id, kind] : layout)
        controls_[id].kind = kind;
    controls_[IDC_STATUS].text = "ステータス";
    controls_[IDC_H_UPDOWN].buddy = IDC_H_EDIT;
    controls_[IDC_V_UPDOWN].buddy = IDC_V_EDIT;
    // The dialog manager gives the focus to the first tab stop, Close.
    focused_ = IDC_CLOSE;
}

FakeControl& FakeDialog::control(int id) {
    auto it = controls_.find(id);
    if (it == controls_.end())
        throw std::out_of_range("no control " + std::to_string(id));
    return it->second;
}

bool FakeDialog::isEdit(int id) {
    const ControlKind kind = control(id).kind;
    return kind == ControlKind::Edit || kind == ControlKind::NumberEdit || kind == ControlKind::ReadOnlyEdit;
}

void FakeDialog::notify(int id, int code) {
    if (panel_ != nullptr)
        panel_->OnCommand(id, code);
}

void FakeDialog::SetItemText(int id, std::string_view text) {
    FakeControl& c = control(id);
    c.text = std::string(text);
    if (id == IDC_STATUS)
        statusHistory_.push_back(c.text);
    if (isEdit(id)) {
        c.selStart = c.selEnd = 0;
        ++c.changeNotifications;
        notify(id, kEnChange);
    }
}

std::string FakeDialog::GetItemText(int id, std::size_t bufferSize) {
    const std::string& text = control(id).text;
    if (bufferSize == 0)
        return {};
    return text.substr(0, std::min(text.size(), bufferSize - 1));
}

unsigned FakeDialog::GetItemUInt(int id) {
    const std::string& text = control(id).text;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    unsigned long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    return static_cast<unsigned>(value);
}

int FakeDialog::GetItemTextLength(int id) {
    return static_cast<int>(control(id).text.size());
}

void FakeDialog::SetEditSelection(int id, int start, int end) {
    FakeControl& c = control(id);
    const int length = static_cast<int>(c.text.size());
    auto clampPos = [length](int pos) { return pos < 0 ? length : std::min(pos, length); };
    c.selStart = clampPos(start);
    c.selEnd = clampPos(end);
}

void FakeDialog::SetEditLimit(int id, int limit) {
    control(id).limit = limit;
}

void FakeDialog::EnableItem(int id, bool enable) {
    control(id).enabled = enable;
    if (!enable && focused_ == id)
        setFocus(0);
}

bool FakeDialog::IsItemChecked(int id) {
    return control(id).checked;
}

void FakeDialog::SetItemChecked(int id, bool checked) {
    control(id).checked = checked;
}

void FakeDialog::AddComboString(int id, std::string_view text) {
    control(id).items.emplace_back(text);
}

int FakeDialog::FindComboStringExact(int id, std::string_view text) {
    const auto& items = control(id).items;
    auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void FakeDialog::SetComboSelection(int id, int index) {
    FakeControl& c = control(id);
    c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
}

int FakeDialog::GetComboSelection(int id) {
    return control(id).selection;
}

void FakeDialog::SetUpDownRange(int id, int minimum, int maximum) {
    control(id).rangeMin = minimum;
    control(id).rangeMax = maximum;
}

unsigned FakeDialog::StartTimer(unsigned timerId, unsigned intervalMs) {
    if (std::find(failingTimers_.begin(), failingTimers_.end(), timerId) != failingTimers_.end())
        return 0;
    timers_[timerId] = Timer{clock_.now() + intervalMs, intervalMs};
    return timerId;
}

void FakeDialog::StopTimer(unsigned timerId) {
    timers_.erase(timerId);
}

void FakeDialog::DiscardMouseInput() {
    mouseQueue_.clear();
}

void FakeDialog::PaintSwatch(int rowEditId, Rgb colour) {
    swatches_.push_back({rowEditId, colour});
}

void FakeDialog::setFocus(int id) {
    if (id == focused_)
        return;
    const int previous = focused_;
    focused_ = id;
    if (previous != 0 && isEdit(previous))
        notify(previous, kEnKillFocus);
    if (id != 0 && isEdit(id))
        notify(id, kEnSetFocus);
}

void FakeDialog::focus(int id) {
    if (control(id).enabled)
        setFocus(id);
}

void FakeDialog::click(int id) {
    FakeControl& c = control(id);
    if (!c.enabled)
        return;
    setFocus(id);
    if (c.kind == ControlKind::Radio) {
        for (int radio = IDC_SIZE_X1; radio <= IDC_SIZE_X4; ++radio)
            control(radio).checked = radio == id;
    } else if (c.kind == ControlKind::Check) {
        c.checked = !c.checked;
    }
    if (c.kind == ControlKind::Button || c.kind == ControlKind::Check || isRadio(id))
        notify(id, kBnClicked);
}

void FakeDialog::type(int id, std::string_view keys) {
    if (!control(id).enabled)
        return;
    setFocus(id);
    for (char key : keys) {
        FakeControl& c = control(id);
        std::string next = c.text;
        int start = std::min(c.selStart, c.selEnd);
        int end = std::max(c.selStart, c.selEnd);
        if (key == '\b') {
            if (start == end && start > 0)
                --start;
            next.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
        } else {
            if (c.kind == ControlKind::NumberEdit && !std::isdigit(static_cast<unsigned char>(key)))
                continue;  // ES_NUMBER refuses it
            next.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), 1, key);
            if (static_cast<int>(next.size()) > c.limit)
                continue;  // the edit refuses a key past its limit
            ++start;
        }
        c.text = next;
        c.selStart = c.selEnd = start;
        ++c.changeNotifications;
        notify(id, kEnChange);
    }
}

void FakeDialog::clickUpDown(int upDownId, bool up) {
    FakeControl& updown = control(upDownId);
    const int buddy = updown.buddy;
    if (!control(buddy).enabled)
        return;  // an up-down acts only while its buddy is enabled
    // The up-down gives its buddy the focus before the value changes.
    setFocus(buddy);
    const int value = static_cast<int>(GetItemUInt(buddy));
    const int low = std::min(updown.rangeMin, updown.rangeMax);
    const int high = std::max(updown.rangeMin, updown.rangeMax);
    // "Up" moves toward the maximum, which for a reversed range is the smaller number.
    const int step = (updown.rangeMax >= updown.rangeMin) == up ? 1 : -1;
    const int next = std::clamp(value + step, low, high);
    if (next != value || control(buddy).text != std::to_string(value))
        SetItemText(buddy, std::to_string(next));
}

void FakeDialog::selectCombo(int id, int index) {
    if (control(id).enabled) {
        setFocus(id);
        SetComboSelection(id, index);
    }
}

void FakeDialog::RunFor(sim::VirtualClock::Millis ms) {
    const sim::VirtualClock::Millis end = clock_.now() + ms;
    while (!mouseQueue_.empty()) {
        const int id = mouseQueue_.front();
        mouseQueue_.pop_front();
        click(id);
    }
    for (;;) {
        auto next = std::min_element(timers_.begin(), timers_.end(),
                                     [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
        if (next == timers_.end() || next->second.due > end)
            break;
        const unsigned id = next->first;
        clock_.advanceTo(next->second.due);
        // An overdue timer fires once, then counts its interval from now.
        next->second.due = clock_.now() + next->second.interval;
        if (panel_ != nullptr)
            panel_->OnTimer(id);
    }
    clock_.advanceTo(end);
}

}  // namespace sw::test
