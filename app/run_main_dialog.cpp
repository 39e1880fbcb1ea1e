#include "app/run_main_dialog.h"

#include "app/main_dlg.h"

namespace sw::app {

int RunMainDialog(CAppModule& module, int showCmd) {
    CMessageLoop loop;
    ScopedMessageLoop registration(module, loop);

    // The dialog goes before the loop's registration ends, whether or not its window was made.
    CMainDlg dialog(module);
    if (dialog.Create() == nullptr)
        return 0;
    dialog.ShowWindow(showCmd);
    return loop.Run();
}

}  // namespace sw::app
