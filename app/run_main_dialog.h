#pragma once

#include "app/app_module.h"

namespace sw::app {

// Creates and shows the main dialog and runs the thread's message loop until the dialog ends it. Returns the loop's
// exit code, or 0 when the dialog cannot be created (nothing is shown then).
int RunMainDialog(CAppModule& module, int showCmd);

}  // namespace sw::app
