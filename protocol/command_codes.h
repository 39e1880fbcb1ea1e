#pragma once
// The one-byte command codes the device understands, and the fixed orders in which the panel sends them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace sw::protocol {

// Every command occupies the report ID byte and 64 command bytes; a shorter output report cannot carry one.
inline constexpr std::size_t kCommandFrameLength = 65;
inline constexpr std::size_t kRowCellCount = 16;
inline constexpr std::size_t kRowCellBytes = 2 * kRowCellCount;
// One row's 16 cells, each first byte then second byte, as the row commands and replies carry them.
using RowCells = std::array<std::uint8_t, kRowCellBytes>;

enum class QueryCode : std::uint8_t {
    QueryLayout = 0x30,
    QueryColor1 = 0x34,
    QueryColor2 = 0x35,
    QueryRow1 = 0x38,
    QueryRow2 = 0x39,
    QueryStatus = 0x3F,
};

// The order of every read-back pass.
inline constexpr std::array<QueryCode, 6> kQueryOrder = {
    QueryCode::QueryLayout, QueryCode::QueryColor1, QueryCode::QueryColor2,
    QueryCode::QueryRow1,   QueryCode::QueryRow2,   QueryCode::QueryStatus,
};

enum class SettingCommand : std::uint8_t {
    SetHPosition = 0x20,
    SetVPosition = 0x21,
    SetSize = 0x22,
    SetHalftone = 0x23,
    SetColor1 = 0x24,
    SetColor2 = 0x25,
    SetRow1 = 0x28,
    SetRow2 = 0x29,
};

// The order of every send.
inline constexpr std::array<SettingCommand, 8> kSendOrder = {
    SettingCommand::SetHPosition, SettingCommand::SetVPosition, SettingCommand::SetSize, SettingCommand::SetHalftone,
    SettingCommand::SetColor1,    SettingCommand::SetColor2,    SettingCommand::SetRow1, SettingCommand::SetRow2,
};

}  // namespace sw::protocol
