#pragma once
// A minimal runner for the test exes that run under Wine, where no GoogleTest is built: each case is a named
// function, each failed check is printed with its place and the case (and table row) it belongs to, and the exit
// code is non-zero after any failure.

#include <cstdio>
#include <span>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace sw::wine_test {

struct Case {
    const char* name;
    void (*run)();
};

namespace detail {
inline int failures = 0;
inline std::vector<std::string> contexts;  // the case and, in table-driven cases, the row

inline void Fail(const std::string& what, const char* file, int line) {
    ++failures;
    std::string where;
    for (const std::string& context : contexts)
        where += context + " / ";
    std::printf("  FAILED %s%s:%d: %s\n", where.c_str(), file, line, what.c_str());
    std::fflush(stdout);
}

template <typename T>
std::string Show(const T& value) {
    std::ostringstream text;
    if constexpr (std::is_same_v<T, unsigned char> || std::is_same_v<T, signed char> || std::is_same_v<T, char>)
        text << static_cast<int>(value);
    else
        text << value;
    return text.str();
}
}  // namespace detail

// Names the table row a check belongs to while it is in scope.
class Row {
public:
    explicit Row(std::string name) { detail::contexts.push_back(std::move(name)); }
    ~Row() { detail::contexts.pop_back(); }
    Row(const Row&) = delete;
    Row& operator=(const Row&) = delete;
};

inline bool Check(bool ok, const char* expression, const char* file, int line) {
    if (!ok)
        detail::Fail(expression, file, line);
    return ok;
}

template <typename A, typename B>
bool CheckEqual(const A& actual, const B& expected, const char* expression, const char* file, int line) {
    const bool ok = actual == expected;
    if (!ok)
        detail::Fail(std::string(expression) + " is " + detail::Show(actual) + ", expected " + detail::Show(expected),
                     file, line);
    return ok;
}

inline int RunAll(std::span<const Case> cases) {
    int failedCases = 0;
    for (const Case& testCase : cases) {
        const int before = detail::failures;
        {
            const Row row(testCase.name);
            testCase.run();
        }
        const bool passed = detail::failures == before;
        failedCases += passed ? 0 : 1;
        std::printf("%s %s\n", passed ? "[  OK  ]" : "[FAILED]", testCase.name);
        std::fflush(stdout);
    }
    std::printf("%zu cases, %d failed\n", cases.size(), failedCases);
    return failedCases == 0 ? 0 : 1;
}

}  // namespace sw::wine_test

#define SW_CHECK(condition) ::sw::wine_test::Check((condition), #condition, __FILE__, __LINE__)
#define SW_CHECK_EQ(actual, expected) \
    ::sw::wine_test::CheckEqual((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)
