#include "tests/e2e/driver/scenario.h"

#include <cstdarg>
#include <cstdio>

#include "tests/e2e/driver/wait.h"

namespace sw::e2e {

// A function-local list: scenario files register into it from their static initialisers, in any order.
std::vector<Scenario>& scenarios() {
    static std::vector<Scenario> all;
    return all;
}

namespace {

const double startedMs = preciseNowMs();

}  // namespace

std::string codePageSuffix(const ScenarioContext& context) {
    return context.codePage == 932 ? std::string() : "-cp" + std::to_string(context.codePage);
}

double scenarioSeconds() {
    return (preciseNowMs() - startedMs) / 1000.0;
}

void beginCase(const char* format, ...) {
    std::printf("  [%6.2f s] case: ", scenarioSeconds());
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::printf("\n");
}

}  // namespace sw::e2e
