// stampwright-cli on Linux: the hidraw link, the process's arguments (UTF-8 by the locale's convention) and
// standard streams.

#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "device/linux_hidraw_link.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    sw::device::LinuxHidrawLink link;
    return sw::cli::runCli(args, link, {std::cout, std::cerr, isatty(STDERR_FILENO) == 1, &std::cin});
}
