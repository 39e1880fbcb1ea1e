// Any bytes as a preset file: refused with a reason, or taken, and what is taken plans only commands that fit the
// device's frames.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/preset.h"
#include "cli/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sw::cli;
    std::string error;
    const auto preset = parsePreset(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!preset) {
        if (error.empty())
            __builtin_trap();  // a refusal always says why
        return 0;
    }
    if ((preset->h && *preset->h > 2047) || (preset->v && *preset->v > 2047) ||
        (preset->sizeIndex && *preset->sizeIndex > 3) || (preset->colour1 && *preset->colour1 > 15) ||
        (preset->colour2 && *preset->colour2 > 15))
        __builtin_trap();
    const auto commands = planCommands(*preset, error);
    if (commands) {
        for (const PlannedCommand& command : *commands) {
            if (command.cells.length % 2 != 0 || command.cells.length > sw::protocol::kRowCellBytes)
                __builtin_trap();
        }
        // What was taken is written back as a preset that reads the same.
        std::string again;
        if (!parsePreset(formatPreset(*preset), again))
            __builtin_trap();
    }
    return 0;
}
