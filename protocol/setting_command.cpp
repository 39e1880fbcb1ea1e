#include "protocol/setting_command.h"

#include <algorithm>
#include <array>

namespace sw::protocol {

namespace {

// The 64 command bytes after the report ID: index 0 here is report byte 1.
using CommandFrame = std::array<std::uint8_t, kCommandFrameLength - 1>;

constexpr std::size_t kPayload = 1;
// Each row's 16 cells get their own copy of the colour index; the panel gives a whole row one colour.
constexpr std::size_t kColourCopies = kRowCellCount;

void putPosition(CommandFrame& frame, std::uint16_t position) {
    frame[kPayload] = static_cast<std::uint8_t>(position >> 8);
    frame[kPayload + 1] = static_cast<std::uint8_t>(position & 0xFF);
}

void putCells(CommandFrame& frame, std::span<const std::uint8_t> cells) {
    const std::size_t count = std::min(cells.size(), kRowCellBytes);
    std::copy_n(cells.begin(), count, frame.begin() + kPayload);
}

}  // namespace

bool buildSettingCommand(SettingCommand command, const SettingValue& value, std::span<std::uint8_t> report) {
    if (report.size() < kCommandFrameLength) {
        return false;
    }
    CommandFrame frame{};
    frame[0] = static_cast<std::uint8_t>(command);
    const auto low8 = static_cast<std::uint8_t>(value.number & 0xFF);
    switch (command) {
        case SettingCommand::SetHPosition:
        case SettingCommand::SetVPosition:
            putPosition(frame, value.number);
            break;
        case SettingCommand::SetSize:
        case SettingCommand::SetHalftone:
            frame[kPayload] = low8;
            break;
        case SettingCommand::SetColor1:
        case SettingCommand::SetColor2:
            std::fill_n(frame.begin() + kPayload, kColourCopies, low8);
            break;
        case SettingCommand::SetRow1:
        case SettingCommand::SetRow2:
            putCells(frame, value.cells);
            break;
    }
    // Bytes past the command frame keep the zeros the buffer was allocated with.
    std::copy(frame.begin(), frame.end(), report.begin() + 1);
    return true;
}

}  // namespace sw::protocol
