#include <csignal>

#include "cli/serve/http_server.h"
#include "cli/serve/serve_command.h"

namespace sw::cli::serve {

namespace {

extern "C" void onStopSignal(int) {
    HttpServer::requestStop();  // an atomic store: safe in a handler
}

}  // namespace

void stopOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace sw::cli::serve
