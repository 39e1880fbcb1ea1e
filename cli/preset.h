#pragma once
// A preset: the eight settings as a small JSON object, written by `read --json` and taken by `send --preset`.
//
//   {"version": 1, "h": 100, "v": 50, "size": 1, "halftone": false,
//    "colour1": 15, "colour1Name": "white", "colour1NameJapanese": "白", "colour2": 12, ...,
//    "row1": "ＺＥＬ－ＯＴ４０", "row2": "", "osdPattern": 1,
//    "input": {"width": 1280, "height": 720, "scan": "progressive"}, "rangeWarning": false}
//
// "version" is required and must be 1. Every setting is optional: a missing one keeps the device's value. Positions
// are 0..4095 as the device reports them, and go out as the panel sends them (2047 at most); sizes 1..4; colours an
// index 0..15 or a name as on the command line; rows UTF-8. "row1Cells" / "row2Cells" (64 hexadecimal digits) are
// the row's cells as read, written where the text alone would not give them back: while the row's text is left
// as it is, they go back exactly. The colour names, "osdPattern", "input" and "rangeWarning" are what `read`
// saw; `send` ignores them. Unknown and repeated keys are refused.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/settings.h"
#include "protocol/signal_format.h"

namespace sw::cli {

inline constexpr int kPresetVersion = 1;

// What `read` knows besides the settings.
struct ReadFacts {
    std::optional<int> osdPattern;
    std::optional<protocol::SignalFormat> input;  // unresolved: written as null
    std::optional<bool> rangeWarning;             // none: the check could not be made
};

// `notes` (if given) receives what is taken otherwise than written (a position above 2047).
std::optional<SettingsRequest> parsePreset(std::string_view text,
                                           std::string& error,
                                           std::vector<std::string>* notes = nullptr);

// Only the values present are written.
std::string formatPreset(const SettingsRequest& settings, const ReadFacts& facts = {});

}  // namespace sw::cli
