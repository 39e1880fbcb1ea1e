#pragma once
// Measures how long programs take from process creation to their visible main window, for the cold-start
// benchmark: each run starts the program, waits for the window, closes it and waits for the process to end. The
// programs take turns run by run, so a busy spell of the machine hits them alike.

#include <string>
#include <vector>

namespace sw::e2e {

struct TimedProgram {
    std::string exePath;
    std::string title;
};

// Prints one line per start ("start <exe> <ms>") and returns 0 if every start showed its window.
int timeStarts(int runs, const std::vector<TimedProgram>& programs);

}  // namespace sw::e2e
