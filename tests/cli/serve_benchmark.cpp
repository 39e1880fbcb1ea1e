// Figures for `serve` on the simulated box, whose own waits take no time here: what is measured is the server.
//   POST /api/v1/send -> the answer (the command is on the box's wire before it): median of 100
//   POST /api/v1/position -> the command on the wire (the 100 ms live timer included): median of 20
//   100 event streams held: the process's CPU over 5 s with nothing happening
// A benchmark, not a test: it prints figures and fails only when the server does not answer.

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/cli/serve_bench.h"

namespace {

using namespace std::chrono;
using sw::test::ServeBench;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main() {
    sw::cli::serve::ServerConfig config;
    config.limits.maxConnections = 128;
    ServeBench bench(config);
    if (!bench.bound) {
        std::fprintf(stderr, "cannot listen: %s\n", bench.bindError.c_str());
        return 1;
    }

    std::vector<double> send;
    for (int i = 0; i < 100; ++i) {
        const auto start = steady_clock::now();
        const auto reply = bench.request("POST", "/api/v1/send", R"({"version": 1, "row1": "CAM 1"})");
        send.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
        if (reply.status != 200)
            return 1;
    }
    std::printf("POST send -> answer (bytes at the box before it): median %.2f ms, max %.2f ms over 100\n",
                median(send), *std::max_element(send.begin(), send.end()));

    std::vector<double> live;
    for (int i = 0; i < 20; ++i) {
        const std::size_t before = bench.wire().size();
        const auto start = steady_clock::now();
        if (bench.request("POST", "/api/v1/position", "{\"h\": " + std::to_string(100 + i) + "}").status != 202)
            return 1;
        if (!sw::test::within(seconds(2), [&] { return bench.wire().size() > before; }))
            return 1;
        live.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
    }
    std::printf("POST position -> bytes at the box: median %.1f ms, max %.1f ms over 20 (the live timer is 100 ms)\n",
                median(live), *std::max_element(live.begin(), live.end()));

    std::vector<std::unique_ptr<sw::test::TestSocket>> streams;
    for (int i = 0; i < 100; ++i) {
        streams.push_back(std::make_unique<sw::test::TestSocket>(bench.port));
        streams.back()->send("GET /api/v1/events HTTP/1.1\r\nHost: " + bench.host() + "\r\n\r\n");
    }
    if (!sw::test::within(seconds(10), [&] { return bench.events.streams() == 100; }))
        return 1;
    const double cpuBefore = cpuSeconds();
    const auto idleStart = steady_clock::now();
    std::this_thread::sleep_for(seconds(5));
    const double wall = duration<double>(steady_clock::now() - idleStart).count();
    std::printf("100 event streams held, idle: CPU %.2f %% of one core over %.1f s\n",
                100.0 * (cpuSeconds() - cpuBefore) / wall, wall);
    return 0;
}
