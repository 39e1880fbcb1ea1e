#include "tests/e2e/driver/check.h"

#include <cstdio>
#include <string>

namespace sw::e2e {

CheckLog& checkLog() {
    static CheckLog log;
    return log;
}

void CheckLog::fail(const char* file, int line, const std::string& what) {
    ++failed_;
    std::string context;
    for (const auto& part : contexts_)
        context += " [" + part + "]";
    std::printf("FAILED %s:%d:%s %s\n", file, line, context.c_str(), what.c_str());
    std::fflush(stdout);
    if (failed_ == 1 && onFirstFailure_)
        onFirstFailure_();
}

namespace {

// A Shift-JIS lead byte: its trail byte may be '\\' or '"' and must be printed untouched.
bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

std::string describe(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (isLeadByte(byte) && i + 1 < text.size()) {
            out += c;
            out += text[++i];
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string describe(bool value) {
    return value ? "true" : "false";
}

std::string describe(long long value) {
    return std::to_string(value);
}

std::string describe(unsigned long long value) {
    return std::to_string(value);
}

bool checkTrue(const char* file, int line, const char* expression, bool value) {
    if (value) {
        checkLog().pass();
        return true;
    }
    checkLog().fail(file, line, std::string(expression) + " does not hold");
    return false;
}

}  // namespace sw::e2e
