#pragma once
// Benchmarks of the flows, run by hand through the scripts in bench/ and never by CTest: each prints its figures
// and returns 0 when it could measure them. `sw_e2e_driver --bench <name> [runs]` runs one.

#include <vector>

#include "tests/e2e/driver/scenario.h"

namespace sw::e2e {

using BenchmarkBody = int (*)(const ScenarioContext&, int runs);

struct Benchmark {
    const char* name;
    const char* summary;
    int defaultRuns;
    BenchmarkBody body;
};

std::vector<Benchmark>& benchmarks();

struct BenchmarkRegistrar {
    BenchmarkRegistrar(const char* name, const char* summary, int defaultRuns, BenchmarkBody body) {
        benchmarks().push_back({name, summary, defaultRuns, body});
    }
};

// Minimum, median and maximum of `values` (which it sorts), in the benchmarks' own line format.
struct Spread {
    double minimum = 0;
    double median = 0;
    double maximum = 0;
};
Spread spreadOf(std::vector<double> values);

}  // namespace sw::e2e

#define SW_BENCHMARK(name, summary, defaultRuns)                                                    \
    static int name(const ::sw::e2e::ScenarioContext&, int);                                        \
    static const ::sw::e2e::BenchmarkRegistrar name##_registrar(#name, summary, defaultRuns, name); \
    static int name(const ::sw::e2e::ScenarioContext& context, int runs)
