#pragma once
// Scenarios register themselves by name; `sw_e2e_driver <name> <out-dir>` runs one. The bed's CMake file finds
// the names by scanning the scenario sources for SW_SCENARIO(, so each one becomes its own CTest test.

#include <string>
#include <vector>

namespace sw::e2e {

struct ScenarioContext {
    std::string stage;   // the driver's folder, where the bed stages the panel; ends in a backslash
    std::string outDir;  // where the scenario may leave files (screenshots); ends in a backslash
    // The system code page that the driver and the panel it starts run with (Wine gives a process the code page
    // of its locale, and a started process inherits it): 932 unless the bed runs the scenario on another one.
    unsigned codePage = 932;
};

// "" on code page 932, else "-cp<number>": for file names that must not collide between runs on code pages.
std::string codePageSuffix(const ScenarioContext& context);

using ScenarioBody = void (*)(const ScenarioContext&);

struct Scenario {
    const char* name;
    const char* summary;
    ScenarioBody body;
};

std::vector<Scenario>& scenarios();

// Announces one case of a table-driven scenario, with the time since the scenario started (a slow case shows).
void beginCase(const char* format, ...);
// Seconds since the scenario started.
double scenarioSeconds();

struct ScenarioRegistrar {
    ScenarioRegistrar(const char* name, const char* summary, ScenarioBody body) {
        scenarios().push_back({name, summary, body});
    }
};

}  // namespace sw::e2e

// A scenario that the bed runs on the system code pages 932, 1252 and 65001 (CMake registers the extra runs).
#define SW_SCENARIO_ON_CODE_PAGES(name, summary) SW_SCENARIO(name, summary)

#define SW_SCENARIO(name, summary)                                                    \
    static void name(const ::sw::e2e::ScenarioContext&);                              \
    static const ::sw::e2e::ScenarioRegistrar name##_registrar(#name, summary, name); \
    static void name(const ::sw::e2e::ScenarioContext& context)
