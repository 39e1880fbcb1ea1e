#pragma once
// A preset: the eight settings as a small JSON object, written by `read --json` and taken by `send --preset`.
//
//   {"version": 1, "h": 100, "v": 50, "size": 1, "halftone": false,
//    "colour1": 15, "colour2": 12, "row1": "ＺＥＬ－ＯＴ４０", "row2": ""}
//
// "version" is required and must be 1. Every other key is optional: a missing one keeps the device's value.
// Sizes are 1..4, colours an index 0..15 or a name as on the command line, rows UTF-8. Unknown keys are refused.

#include <optional>
#include <string>
#include <string_view>

#include "cli/settings.h"

namespace sw::cli {

inline constexpr int kPresetVersion = 1;

std::optional<SettingsRequest> parsePreset(std::string_view json, std::string& error);

// Only the values present are written.
std::string formatPreset(const SettingsRequest& settings);

}  // namespace sw::cli
