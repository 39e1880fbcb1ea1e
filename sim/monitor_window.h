#pragma once
// The window "ZEL-OT40 (simulated)": what the simulated device would put on its output screen, and a strip of
// controls that set its input signal, its OSD pattern and its faults. It follows the model through the model's
// observer, which only posts a message: every look at the model happens on the window's thread.

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "sim/monitor_paint.h"
#include "sim/monitor_settings.h"
#include "sim/monitor_texts.h"
#include "sim/pipe_device_server.h"
#include "sim/strip_flow.h"
#include "win32/gdi_objects.h"

namespace sw::sim {

class MonitorWindow {
public:
    explicit MonitorWindow(PipeDeviceServer& server);
    ~MonitorWindow();  // stops following the model and destroys the window
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;

    // Creates and shows the window; false (GetLastError() tells why) when it cannot.
    bool create(HINSTANCE instance, int showCommand);
    HWND window() const { return window_; }

private:
    struct Controls {
        HWND picture = nullptr;
        HWND format = nullptr;
        HWND signal = nullptr;
        HWND width = nullptr;
        HWND height = nullptr;
        HWND interlaced = nullptr;
        HWND pattern = nullptr;
        HWND late = nullptr;
        HWND wrongEcho = nullptr;
        HWND stalled = nullptr;
        HWND stallMidSend = nullptr;
        HWND unplugged = nullptr;
        HWND status = nullptr;
    };
    // One control of the strip and the width it takes in its row.
    struct StripItem {
        HWND control;
        int width;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    bool onCreate();
    void onSize(int width, int height);
    void onCommand(int id, int notification);
    void onActivate(WPARAM wParam);
    void onNextControl(WPARAM wParam, LPARAM lParam);
    void onModelChanged();
    void onMinMaxInfo(MINMAXINFO& info) const;
    std::vector<std::vector<int>> stripWidths() const;
    // Everything under the picture: the format label, the control strip as it flows at this width, the status line.
    int stripHeight(int clientWidth) const;
    void paintPicture();

    HWND addControl(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id);
    int textWidth(const wchar_t* text) const;
    void showModelInControls();
    void applySignal();
    void onFaultSwitch(int id);
    void applyFaultSwitch(FaultSwitch which, HWND box);
    void setTextIfChanged(HWND control, const std::wstring& text);
    void refreshActivity(const LinkActivity& activity);

    PipeDeviceServer& server_;
    HWND window_ = nullptr;
    Controls controls_;
    win32::OwnedFont font_;
    int lineHeight_ = 24;
    std::vector<std::vector<StripItem>> strip_;  // groups that stay on one line, in tab order
    HWND focus_ = nullptr;                       // the control that had the focus when the window was deactivated
    bool showingModel_ = false;  // the window itself is filling the controls: their notifications are no edits
    std::atomic<bool> changePosted_{false};
    MonitorFrame frame_;
    LinkActivity activity_;
};

}  // namespace sw::sim
