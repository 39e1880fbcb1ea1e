#include "tests/e2e/driver/uhid_box.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "protocol/text_cells.h"
#include "tests/e2e/driver/wait.h"
#include "win32/unique_handle.h"

namespace sw::e2e {

namespace {

// A Unix path as Wine's Z: drive shows it.
std::string onDriveZ(std::string path) {
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return "Z:" + path;
}

}  // namespace

std::optional<UhidBox> UhidBox::fromEnvironment() {
    const char* box = std::getenv("SW_E2E_BOX");
    if (box == nullptr || *box == '\0')
        return std::nullopt;
    return UhidBox(box);
}

UhidBox::UhidBox(const std::string& unixPath)
    : in_(onDriveZ(unixPath + ".in")), out_(onDriveZ(unixPath + ".out")), wire_(onDriveZ(unixPath + ".wire")) {}

bool UhidBox::apply(const std::string& optionsLine) {
    const std::size_t before = answers();
    win32::UniqueHandle fifo(CreateFileA(in_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    const std::string line = optionsLine + "\n";
    DWORD written = 0;
    if (!fifo.valid() || !WriteFile(fifo.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size())
        return false;
    return waitFor(kReactionLimit, [&] { return answers() > before; });
}

std::size_t UhidBox::answers() const {
    std::ifstream out(out_);
    std::size_t count = 0;
    for (std::string line; std::getline(out, line);)
        count += line.rfind("ok", 0) == 0 || line.rfind("error", 0) == 0;
    return count;
}

std::vector<sim::WireEntry> UhidBox::wireLog() const {
    std::vector<sim::WireEntry> log;
    std::ifstream wire(wire_);
    for (std::string line; std::getline(wire, line);) {
        std::istringstream fields(line);
        sim::WireEntry entry;
        fields >> entry.time;
        for (unsigned byte = 0; fields >> std::hex >> byte;)
            entry.bytes.push_back(static_cast<std::uint8_t>(byte));
        log.push_back(std::move(entry));
    }
    return log;
}

std::string optionsLine(const sim::Ot40Settings& s) {
    std::ostringstream line;
    line << "--h " << s.hPosition << " --v " << s.vPosition << " --size " << s.sizeIndex + 1 << " --halftone "
         << (s.halftone ? "on" : "off") << " --colour1 " << int{s.colour1} << " --colour2 " << int{s.colour2}
         << " --row1 " << protocol::cellsToHex(s.row1) << " --row2 " << protocol::cellsToHex(s.row2);
    return line.str();
}

std::string optionsLine(const sim::InputSignal& signal) {
    std::ostringstream line;
    line << "--pattern " << signal.osdPattern << " --signal-mode " << int{signal.signalMode} << " --resolution ";
    if (signal.explicitResolution)
        line << signal.width << "x" << signal.height << (signal.interlaced ? "i" : "");
    else
        line << "none";
    return line.str();
}

}  // namespace sw::e2e
