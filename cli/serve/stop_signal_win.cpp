#include <windows.h>

#include "cli/serve/http_server.h"
#include "cli/serve/serve_command.h"

namespace sw::cli::serve {

namespace {

// Runs on a thread of its own that the system starts: it only asks the server to stop.
BOOL WINAPI onConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    HttpServer::requestStop();
    return TRUE;
}

}  // namespace

void stopOnInterrupt() {
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

}  // namespace sw::cli::serve
