// The UI driver of the end-to-end bed: runs one scenario against the real panel under Wine and prints each failed
// check and a final "N passed, N failed" line; the exit status is 0 only when every check passed.
//
//   sw_e2e_driver <scenario> <out-dir>
//   sw_e2e_driver --list
//   sw_e2e_driver --time-start <runs> <exe> <window title> [<exe> <window title>...]   (cold-start benchmark)
//   sw_e2e_driver --bench <name> [runs]                                                 (flow benchmarks)
//   sw_e2e_driver --list-bench

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/driver/app_process.h"
#include "tests/e2e/driver/benchmark.h"
#include "tests/e2e/driver/check.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/start_timer.h"

namespace {

int listScenarios() {
    for (const auto& scenario : sw::e2e::scenarios())
        std::printf("%s\t%s\n", scenario.name, scenario.summary);
    return 0;
}

// The code page the bed meant the scenario to run on (SW_E2E_CODE_PAGE, set with the locale that gives it).
unsigned intendedCodePage() {
    const char* set = std::getenv("SW_E2E_CODE_PAGE");
    return set && *set ? static_cast<unsigned>(std::strtoul(set, nullptr, 10)) : 932;
}

int runScenario(const char* name, std::string outDir) {
    for (const auto& scenario : sw::e2e::scenarios()) {
        if (std::strcmp(scenario.name, name) != 0)
            continue;
        if (!outDir.empty() && outDir.back() != '\\')
            outDir += '\\';
        CreateDirectoryA(outDir.c_str(), nullptr);
        const sw::e2e::ScenarioContext context{sw::e2e::stageFolder(), outDir, intendedCodePage()};
        std::printf("scenario %s: %s (system code page %u)\n", scenario.name, scenario.summary, GetACP());
        std::fflush(stdout);
        const std::string snapshot = outDir + scenario.name + sw::e2e::codePageSuffix(context) + "-first-failure.bmp";
        sw::e2e::checkLog().onFirstFailure([snapshot] { sw::e2e::saveScreenImage(snapshot); });
        // The panel inherits the driver's code page: a run meant for another one proves nothing.
        CHECK_EQ(static_cast<unsigned>(GetACP()), context.codePage);
        scenario.body(context);
        const auto& log = sw::e2e::checkLog();
        // A scenario that checked nothing proved nothing.
        if (log.passed() + log.failed() == 0)
            sw::e2e::checkLog().fail(__FILE__, __LINE__, "the scenario made no check");
        std::printf("%d passed, %d failed (%.1f s)\n", log.passed(), log.failed(), sw::e2e::scenarioSeconds());
        return log.failed() == 0 ? 0 : 1;
    }
    std::printf("unknown scenario %s (see --list)\n", name);
    return 2;
}

int listBenchmarks() {
    for (const auto& benchmark : sw::e2e::benchmarks())
        std::printf("%s\t%d runs\t%s\n", benchmark.name, benchmark.defaultRuns, benchmark.summary);
    return 0;
}

// A benchmark's checks count like a scenario's: a failed one makes its figures worthless.
int runBenchmark(const char* name, const char* runs) {
    for (const auto& benchmark : sw::e2e::benchmarks()) {
        if (std::strcmp(benchmark.name, name) != 0)
            continue;
        const int count = runs ? std::atoi(runs) : benchmark.defaultRuns;
        std::printf("benchmark %s: %s (%d runs)\n", benchmark.name, benchmark.summary, count);
        const int status = benchmark.body({sw::e2e::stageFolder(), sw::e2e::stageFolder()}, count);
        const auto& log = sw::e2e::checkLog();
        if (log.failed() > 0) {
            std::printf("%d checks failed: the figures do not count\n", log.failed());
            return 1;
        }
        return status;
    }
    std::printf("unknown benchmark %s (see --list-bench)\n", name);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0)
        return listScenarios();
    if (argc >= 5 && argc % 2 == 1 && std::strcmp(argv[1], "--time-start") == 0) {
        std::vector<sw::e2e::TimedProgram> programs;
        for (int arg = 3; arg + 1 < argc; arg += 2)
            programs.push_back({argv[arg], argv[arg + 1]});
        return sw::e2e::timeStarts(std::atoi(argv[2]), programs);
    }
    if (argc == 2 && std::strcmp(argv[1], "--list-bench") == 0)
        return listBenchmarks();
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--bench") == 0)
        return runBenchmark(argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc == 3)
        return runScenario(argv[1], argv[2]);
    std::printf(
        "usage: sw_e2e_driver <scenario> <out-dir> | --list | --time-start <runs> (<exe> <title>)... | "
        "--bench <name> [runs] | --list-bench\n");
    return 2;
}
