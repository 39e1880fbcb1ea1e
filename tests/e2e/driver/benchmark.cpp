#include "tests/e2e/driver/benchmark.h"

#include <algorithm>

namespace sw::e2e {

std::vector<Benchmark>& benchmarks() {
    static std::vector<Benchmark> all;
    return all;
}

Spread spreadOf(std::vector<double> values) {
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    const double median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    return {values.front(), median, values.back()};
}

}  // namespace sw::e2e
