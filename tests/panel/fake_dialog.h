#pragma once
// A dialog without a window that behaves like the Win32 one where the flows depend on it:
// - setting an edit's text raises EN_CHANGE before returning (also for an unchanged text);
// - disabling the focused control takes the focus away inside the call (EN_KILLFOCUS);
// - program text ignores the typing limit; typing respects it and ES_NUMBER;
// - GetDlgItemInt reads the leading digits after blanks, or 0;
// - timers fire only while the message loop runs (RunFor), in due order, on the shared virtual clock;
// - queued mouse input is handled when the loop runs, unless DiscardMouseInput removed it.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "panel/dialog_view.h"
#include "sim/virtual_clock.h"

namespace sw::panel {
class MainPanel;
}

namespace sw::test {

enum class ControlKind { Button, Check, Radio, Edit, NumberEdit, ReadOnlyEdit, Combo, Static, UpDown };

struct FakeControl {
    ControlKind kind = ControlKind::Static;
    std::string text;
    bool enabled = true;
    bool checked = false;
    int limit = 0x7FFFFFFE;  // an edit's typing limit in bytes
    std::vector<std::string> items;
    int selection = -1;
    int selStart = 0;
    int selEnd = 0;
    int rangeMin = 0;
    int rangeMax = 100;
    int buddy = 0;  // an up-down's edit
    int changeNotifications = 0;
};

struct PaintedSwatch {
    int rowEditId;
    panel::Rgb colour;
    bool operator==(const PaintedSwatch&) const = default;
};

class FakeDialog final : public panel::DialogView {
public:
    explicit FakeDialog(sim::VirtualClock& clock);

    // The panel that receives the notifications (set before OnInitDialog).
    void attach(panel::MainPanel& panel) { panel_ = &panel; }

    // DialogView
    void SetItemText(int id, std::string_view text) override;
    std::string GetItemText(int id, std::size_t bufferSize) override;
    unsigned GetItemUInt(int id) override;
    int GetItemTextLength(int id) override;
    void SetEditSelection(int id, int start, int end) override;
    void SetEditLimit(int id, int limit) override;
    void EnableItem(int id, bool enable) override;
    bool IsItemChecked(int id) override;
    void SetItemChecked(int id, bool checked) override;
    void AddComboString(int id, std::string_view text) override;
    int FindComboStringExact(int id, std::string_view text) override;
    void SetComboSelection(int id, int index) override;
    int GetComboSelection(int id) override;
    void SetUpDownRange(int id, int minimum, int maximum) override;
    unsigned StartTimer(unsigned timerId, unsigned intervalMs) override;
    void StopTimer(unsigned timerId) override;
    void DiscardMouseInput() override;
    void PaintSwatch(int rowEditId, panel::Rgb colour) override;

    // The operator, acting through the message loop.
    void focus(int id);                        // click into a control / tab to it (only if enabled)
    void click(int id);                        // a mouse click on a button: focus, then its command
    void type(int id, std::string_view keys);  // focus, then one keystroke per byte; '\b' deletes the last byte
    void clickUpDown(int upDownId, bool up);   // focus the buddy, then step its value
    void selectCombo(int id, int index);
    // A click queued while the thread is blocked; handled at the next RunFor unless discarded.
    void queueMouseClick(int id) { mouseQueue_.push_back(id); }

    // Runs the message loop for `ms` of virtual time: queued input first, then timers as they fall due.
    void RunFor(sim::VirtualClock::Millis ms);

    // Observation.
    FakeControl& control(int id);
    const std::string& text(int id) { return control(id).text; }
    bool enabled(int id) { return control(id).enabled; }
    int focused() const { return focused_; }
    bool timerRunning(unsigned id) const { return timers_.count(id) != 0; }
    const std::vector<PaintedSwatch>& swatches() const { return swatches_; }
    void clearSwatches() { swatches_.clear(); }
    // Makes StartTimer fail (return 0) for this timer ID from now on.
    void failTimer(unsigned id) { failingTimers_.push_back(id); }
    // Every status-line text in order, to see messages a later one replaced.
    const std::vector<std::string>& statusHistory() const { return statusHistory_; }

private:
    struct Timer {
        sim::VirtualClock::Millis due;
        unsigned interval;
    };

    void notify(int id, int code);
    void setFocus(int id);
    bool isEdit(int id);

    sim::VirtualClock& clock_;
    panel::MainPanel* panel_ = nullptr;
    std::map<int, FakeControl> controls_;
    int focused_ = 0;
    std::map<unsigned, Timer> timers_;
    std::vector<unsigned> failingTimers_;
    std::deque<int> mouseQueue_;
    std::vector<PaintedSwatch> swatches_;
    std::vector<std::string> statusHistory_;
};

}  // namespace sw::test
