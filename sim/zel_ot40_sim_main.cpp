// zel-ot40-sim.exe: the simulated ZEL-OT40 on a named pipe, for the end-to-end tests and the demo, with a monitor
// window that shows what the device would put on its output screen.

#include <windows.h>

#include <cstdio>

#include "sim/monitor_loop.h"
#include "sim/monitor_window.h"
#include "sim/pipe_device_server.h"
#include "sim/sim_options.h"
#include "sim/wire_log_file.h"
#include "win32/unique_handle.h"

namespace {

// Set by Ctrl+C or by the end of stdin; the console handler and the stdin reader run on threads of their own.
HANDLE g_quit = nullptr;

BOOL WINAPI onConsoleControl(DWORD) {
    SetEvent(g_quit);
    return TRUE;
}

DWORD WINAPI readStdinToEnd(void*) {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[256];
    DWORD got = 0;
    while (in != nullptr && in != INVALID_HANDLE_VALUE && ReadFile(in, buffer, sizeof buffer, &got, nullptr) &&
           got > 0) {
    }
    SetEvent(g_quit);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    sw::sim::SimOptions options;
    if (const auto exitCode = sw::sim::takeProgramArguments(argc, argv, options))
        return *exitCode;
    if (options.uhid) {
        std::fprintf(stderr, "zel-ot40-sim: --uhid is the Linux simulator's; this one serves a named pipe\n");
        return 2;
    }
    sw::sim::WireLogFile wireLog;
    if (!options.wireLogPath.empty() && !wireLog.open(options.wireLogPath)) {
        std::fprintf(stderr, "zel-ot40-sim: cannot write the wire log %s\n", options.wireLogPath.c_str());
        return 1;
    }

    sw::win32::UniqueHandle quit(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_quit = quit.get();
    SetConsoleCtrlHandler(onConsoleControl, TRUE);

    sw::sim::PipeDeviceServer server(options.pipePath);
    server.withModel([&](sw::sim::Ot40Model& model) {
        sw::sim::applySimOptions(options, model);
        wireLog.follow(model);
    });
    if (!server.start()) {
        std::fprintf(stderr, "zel-ot40-sim: cannot serve %s (error %lu)\n", options.pipePath.c_str(),
                     static_cast<unsigned long>(server.lastError()));
        return 1;
    }
    std::printf("listening on %s\n", options.pipePath.c_str());
    std::fflush(stdout);

    // The reader is left blocked in ReadFile when Ctrl+C ends the program; the process end takes it down.
    sw::win32::UniqueHandle stdinReader;
    if (!options.ignoreStdin)
        stdinReader.reset(CreateThread(nullptr, 0, readStdinToEnd, nullptr, 0, nullptr));

    int status = 0;
    if (options.monitor) {
        sw::sim::MonitorWindow monitor(server);
        if (!monitor.create(GetModuleHandleW(nullptr), SW_SHOWNORMAL)) {
            std::fprintf(stderr, "zel-ot40-sim: cannot open the monitor window (error %lu)\n", GetLastError());
            status = 1;
        } else {
            sw::sim::runMonitorLoop(monitor.window(), quit.get());
        }
    } else {
        WaitForSingleObject(quit.get(), INFINITE);
    }

    server.stop();
    return status;
}
