// `serve` on the simulated box as a process of its own, for the real-browser test: prints "port N", serves until
// its stdin ends, and answers the line "wire" with the box's wire log, one command a line, then "end".

#include <iostream>
#include <string>
#include <thread>

#include "cli/serve/box_service.h"
#include "cli/serve/event_hub.h"
#include "cli/serve/http_server.h"
#include "tests/cli/cli_bench.h"

int main() {
    sw::test::CliBench bench;
    sw::cli::serve::EventHub events;
    sw::cli::serve::BoxService box(bench.link, "", events, bench.boxLock.locker());
    sw::cli::serve::ServerConfig config;
    config.guard.listenHost = "127.0.0.1";
    sw::cli::serve::HttpServer server(box, events, config);
    std::string error;
    if (!server.bind(error)) {
        std::cerr << error << "\n";
        return 1;
    }
    std::thread serving([&] { server.run(); });
    std::cout << "port " << server.port() << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
        if (line != "wire")
            continue;
        for (const std::string& command : box.withBox([&] { return bench.wireCommands(); }))
            std::cout << command << "\n";
        std::cout << "end" << std::endl;
    }
    server.stop();
    serving.join();
    return 0;
}
