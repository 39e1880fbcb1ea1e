#pragma once
// The eight settings as a script gives them (any subset), their text forms, and the commands they become.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/device_rows.h"
#include "cli/quoting.h"
#include "protocol/command_codes.h"
#include "protocol/row_encoder.h"
#include "protocol/setting_command.h"

namespace sw::cli {

// What a send changes; an absent value keeps the device's own.
struct SettingsRequest {
    std::optional<std::uint16_t> h;
    std::optional<std::uint16_t> v;
    std::optional<std::uint8_t> sizeIndex;  // 0..3 for x1..x4
    std::optional<bool> halftone;
    std::optional<std::uint8_t> colour1;  // palette index 0..15
    std::optional<std::uint8_t> colour2;
    std::optional<RowRequest> row1;
    std::optional<RowRequest> row2;

    // Values given here replace those of `this`.
    void overrideWith(const SettingsRequest& other);
    bool empty() const;
    bool operator==(const SettingsRequest&) const = default;
};

// Each parser gives the value, or nothing with `error` saying what is wrong.
std::optional<std::uint16_t> parsePosition(std::string_view text, std::string& error);  // 0..2047
std::optional<std::uint8_t> parseSize(std::string_view text, std::string& error);       // "1".."4" -> 0..3
std::optional<bool> parseHalftone(std::string_view text, std::string& error);           // "on" / "off"
// An index 0..15, the palette's Japanese name (UTF-8) or its English gloss (any case; grey or gray).
std::optional<std::uint8_t> parseColour(std::string_view text, std::string& error);

// The English gloss and the Japanese name (UTF-8) of a palette index.
std::string_view colourGloss(std::uint8_t index);
std::string colourJapaneseName(std::uint8_t index);

// One command ready for the wire; `cells` owns a row's bytes.
struct PlannedCommand {
    protocol::SettingCommand command;
    std::uint16_t number = 0;
    protocol::EncodedRow cells;
    protocol::SettingValue value() const { return {number, {cells.bytes.data(), cells.length}}; }
};

// The commands for the values given, in the panel's send order. Nothing when any value is refused (`error`).
std::optional<std::vector<PlannedCommand>> planCommands(const SettingsRequest& request, std::string& error);

// How a step is named in messages ("H position", "row 1"...).
std::string_view commandLabel(protocol::SettingCommand command);

}  // namespace sw::cli
