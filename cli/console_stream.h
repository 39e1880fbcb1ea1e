#pragma once
// A std::ostream over a standard handle that takes UTF-8: on a console it is shown with WriteConsoleW (the
// console's code page does not matter), anywhere else the UTF-8 bytes are written as they are.

#include <windows.h>

#include <ostream>
#include <streambuf>
#include <string>

namespace sw::cli {

class ConsoleStream {
public:
    explicit ConsoleStream(DWORD standardHandle);
    ~ConsoleStream();
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;

    std::ostream& stream() { return stream_; }
    bool isConsole() const { return buffer_.isConsole(); }

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(HANDLE handle);
        bool isConsole() const { return console_; }

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        HANDLE handle_;
        bool console_ = false;
        std::string pending_;
    };

    Buffer buffer_;
    std::ostream stream_;
};

}  // namespace sw::cli
