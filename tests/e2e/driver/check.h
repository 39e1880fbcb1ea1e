#pragma once
// The driver's check framework: every check is counted, a failed one is reported with its place and both values,
// and the run ends with "N passed, N failed". Checks return whether they held, so a scenario can stop early where
// going on would only pile up follow-on failures: `if (!CHECK(...)) return;`.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sw::e2e {

class CheckLog {
public:
    void pass() { ++passed_; }
    void fail(const char* file, int line, const std::string& what);
    int passed() const { return passed_; }
    int failed() const { return failed_; }
    // Runs once, at the first failure (the driver saves what the screen shows then).
    void onFirstFailure(std::function<void()> action) { onFirstFailure_ = std::move(action); }

    void pushContext(std::string context) { contexts_.push_back(std::move(context)); }
    void popContext() { contexts_.pop_back(); }

private:
    int passed_ = 0;
    int failed_ = 0;
    std::function<void()> onFirstFailure_;
    std::vector<std::string> contexts_;
};

CheckLog& checkLog();

// Names what the checks inside its scope are about ("control 1003"); a failure there is printed with it.
class CheckContext {
public:
    explicit CheckContext(std::string context) { checkLog().pushContext(std::move(context)); }
    CheckContext(const CheckContext&) = delete;
    CheckContext& operator=(const CheckContext&) = delete;
    ~CheckContext() { checkLog().popContext(); }
};

// Printable forms of the values a check compares. Text is shown quoted with line breaks escaped; its Shift-JIS
// bytes are printed as they are (the bed's runner turns the output into UTF-8).
std::string describe(std::string_view text);
inline std::string describe(const std::string& text) {
    return describe(std::string_view(text));
}
inline std::string describe(const char* text) {
    return describe(std::string_view(text));
}
std::string describe(bool value);
std::string describe(long long value);
std::string describe(unsigned long long value);
inline std::string describe(int value) {
    return describe(static_cast<long long>(value));
}
inline std::string describe(unsigned value) {
    return describe(static_cast<unsigned long long>(value));
}
inline std::string describe(long value) {
    return describe(static_cast<long long>(value));
}
inline std::string describe(unsigned long value) {
    return describe(static_cast<unsigned long long>(value));
}
// Declared before any is defined, so each can describe the others' contents.
template <typename T>
std::string describe(const std::optional<T>& value);
template <typename A, typename B>
std::string describe(const std::pair<A, B>& value);
template <typename T>
std::string describe(const std::vector<T>& values);

template <typename T>
std::string describe(const std::optional<T>& value) {
    return value ? describe(*value) : std::string("(none: the panel did not answer)");
}
template <typename A, typename B>
std::string describe(const std::pair<A, B>& value) {
    std::string out = "(";
    out += describe(value.first);
    out += ", ";
    out += describe(value.second);
    return out + ")";
}
template <typename T>
std::string describe(const std::vector<T>& values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += i ? ", " : "";
        out += describe(values[i]);
    }
    return out + "]";
}

bool checkTrue(const char* file, int line, const char* expression, bool value);

template <typename A, typename E>
bool checkEqual(const char* file, int line, const char* actualText, const A& actual, const E& expected) {
    if (actual == expected) {
        checkLog().pass();
        return true;
    }
    checkLog().fail(file, line,
                    std::string(actualText) + " is " + describe(actual) + ", expected " + describe(expected));
    return false;
}

}  // namespace sw::e2e

#define CHECK(condition) ::sw::e2e::checkTrue(__FILE__, __LINE__, #condition, static_cast<bool>(condition))
#define CHECK_EQ(actual, expected) ::sw::e2e::checkEqual(__FILE__, __LINE__, #actual, (actual), (expected))
