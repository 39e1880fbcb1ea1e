#include "sim/wire_log_file.h"

namespace sw::sim {

std::string wireLogLine(const WireEntry& entry) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line = std::to_string(entry.time);
    for (const std::uint8_t byte : entry.bytes) {
        line += ' ';
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}

bool WireLogFile::open(const std::string& path) {
    file_.reset(std::fopen(path.c_str(), "a"));
    return file_ != nullptr;
}

void WireLogFile::follow(Ot40Model& model) {
    model.setWireObserver([this](const WireEntry& entry) {
        if (!file_)
            return;
        const std::string line = wireLogLine(entry) + "\n";
        std::fwrite(line.data(), 1, line.size(), file_.get());
        // A reader follows the file while the device runs.
        std::fflush(file_.get());
    });
}

}  // namespace sw::sim
