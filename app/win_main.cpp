// Process entry: one copy per logon, COM and the common controls for the thread, then the main dialog.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/app_module.h"
#include "app/run_main_dialog.h"
#include "app/single_instance.h"

namespace {

class ComApartment {
public:
    // The result is not examined: the program uses no COM object of its own, and the dialog works either way.
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

class ModuleScope {
public:
    ModuleScope(sw::app::CAppModule& module, HINSTANCE instance) : module_(module) { module_.Init(instance); }
    ~ModuleScope() { module_.Term(); }
    ModuleScope(const ModuleScope&) = delete;
    ModuleScope& operator=(const ModuleScope&) = delete;

private:
    sw::app::CAppModule& module_;
};

void InitBarControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;  // includes the up-down class of the main dialog
    InitCommonControlsEx(&controls);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCmd) {
    sw::app::InstanceMutex instanceMutex(sw::app::kInstanceMutexName);
    if (instanceMutex.AlreadyExisted()) {
        HWND running = sw::app::FindRunningCopy();
        instanceMutex.Close();
        sw::app::BringToFront(running);
        return 0;
    }

    // Torn down in reverse order: the module, then COM, then the mutex, which the first copy holds to the end.
    ComApartment com;
    InitBarControls();
    sw::app::CAppModule module;
    ModuleScope moduleScope(module, instance);

    return sw::app::RunMainDialog(module, showCmd);
}
