#pragma once
// The simulator's wire log as a file that another process can follow while the device runs: one line per report
// taken off the wire, its time in milliseconds on the front's clock and its bytes in hexadecimal
// ("812 00 30 00 ..."), written out at once.

#include <cstdio>
#include <memory>
#include <string>

#include "sim/ot40_model.h"

namespace sw::sim {

std::string wireLogLine(const WireEntry& entry);

class WireLogFile {
public:
    // Appends to `path`; false when it cannot be opened.
    bool open(const std::string& path);
    // Logs every report the model takes from now on; the model must not outlive this file.
    void follow(Ot40Model& model);

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, &std::fclose};
};

}  // namespace sw::sim
