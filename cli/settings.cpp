#include "cli/settings.h"

#include <array>
#include <cctype>
#include <charconv>
#include <initializer_list>

#include "cli/cp932_codec.h"
#include "cli/quoting.h"
#include "protocol/colour_palette.h"
#include "protocol/product.h"
#include "protocol/row_text.h"
#include "protocol/unicode_text.h"

namespace sw::cli {

namespace {

constexpr std::array<std::string_view, 16> kColourGlosses = {
    "black", "navy", "green", "teal", "maroon", "purple",  "olive",  "silver",
    "grey",  "blue", "lime",  "aqua", "red",    "fuchsia", "yellow", "white",
};

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Digits only: no sign, no spaces, no hexadecimal.
std::optional<unsigned> parseDigits(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return std::nullopt;
    return value;
}

}  // namespace

void SettingsRequest::overrideWith(const SettingsRequest& other) {
    auto take = [](auto& mine, const auto& theirs) {
        if (theirs)
            mine = theirs;
    };
    take(h, other.h);
    take(v, other.v);
    take(sizeIndex, other.sizeIndex);
    take(halftone, other.halftone);
    take(colour1, other.colour1);
    take(colour2, other.colour2);
    take(row1, other.row1);
    take(row2, other.row2);
}

bool SettingsRequest::empty() const {
    return !h && !v && !sizeIndex && !halftone && !colour1 && !colour2 && !row1 && !row2;
}

std::optional<std::uint16_t> parsePosition(std::string_view text, std::string& error) {
    const std::string limit = std::to_string(protocol::kMaxPosition);
    const auto value = parseDigits(text);
    if (!value) {
        error = joined({"position ", quotedInput(text), " is not a number (0 to ", limit, ")"});
        return std::nullopt;
    }
    if (*value > protocol::kMaxPosition) {
        error = joined({"position ", quotedInput(text), " is above ", limit});
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*value);
}

std::optional<std::uint8_t> parseSize(std::string_view text, std::string& error) {
    const auto value = parseDigits(text);
    if (!value || *value < 1 || *value > 4) {
        error = joined({"size ", quotedInput(text), " is not 1, 2, 3 or 4"});
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*value - 1);
}

std::optional<bool> parseHalftone(std::string_view text, std::string& error) {
    const std::string lower = lowerAscii(text);
    if (lower == "on")
        return true;
    if (lower == "off")
        return false;
    error = joined({"halftone ", quotedInput(text), " is not on or off"});
    return std::nullopt;
}

std::optional<std::uint8_t> parseColour(std::string_view text, std::string& error) {
    if (const auto index = parseDigits(text)) {
        if (*index < protocol::ColourPalette.size())
            return static_cast<std::uint8_t>(*index);
    } else {
        const std::string lower = lowerAscii(text);
        for (std::uint8_t i = 0; i < kColourGlosses.size(); ++i) {
            if (lower == kColourGlosses[i] || (i == 8 && lower == "gray") || text == colourJapaneseName(i))
                return i;
        }
    }
    error = joined({"unknown colour ", quotedInput(text), " (an index 0 to 15, or a name such as white or red)"});
    return std::nullopt;
}

std::string_view colourGloss(std::uint8_t index) {
    return kColourGlosses[index & 0x0F];
}

std::string colourJapaneseName(std::uint8_t index) {
    return protocol::toUtf8(
        protocol::joinShown(protocol::piecesFromBytes(protocol::paletteEntryForDeviceIndex(index).name, kCp932)));
}

std::optional<std::vector<PlannedCommand>> planCommands(const SettingsRequest& request, std::string& error) {
    using protocol::SettingCommand;
    std::vector<PlannedCommand> plan;
    for (SettingCommand command : protocol::kSendOrder) {
        PlannedCommand planned{command, 0, {}};
        switch (command) {
            case SettingCommand::SetHPosition:
                if (!request.h)
                    continue;
                planned.number = *request.h;
                break;
            case SettingCommand::SetVPosition:
                if (!request.v)
                    continue;
                planned.number = *request.v;
                break;
            case SettingCommand::SetSize:
                if (!request.sizeIndex)
                    continue;
                planned.number = *request.sizeIndex;
                break;
            case SettingCommand::SetHalftone:
                if (!request.halftone)
                    continue;
                planned.number = *request.halftone ? 1 : 0;
                break;
            case SettingCommand::SetColor1:
            case SettingCommand::SetColor2: {
                const auto& colour = command == SettingCommand::SetColor1 ? request.colour1 : request.colour2;
                if (!colour)
                    continue;
                planned.number = *colour;
                break;
            }
            case SettingCommand::SetRow1:
            case SettingCommand::SetRow2: {
                const auto& row = command == SettingCommand::SetRow1 ? request.row1 : request.row2;
                if (!row)
                    continue;
                std::string rowError;
                const auto cells = rowCells(*row, rowError);
                if (!cells) {
                    error = joined({commandLabel(command), ": ", rowError});
                    return std::nullopt;
                }
                planned.cells = *cells;
                break;
            }
        }
        plan.push_back(planned);
    }
    return plan;
}

std::string_view commandLabel(protocol::SettingCommand command) {
    switch (command) {
        case protocol::SettingCommand::SetHPosition:
            return "H position";
        case protocol::SettingCommand::SetVPosition:
            return "V position";
        case protocol::SettingCommand::SetSize:
            return "size";
        case protocol::SettingCommand::SetHalftone:
            return "halftone";
        case protocol::SettingCommand::SetColor1:
            return "colour 1";
        case protocol::SettingCommand::SetColor2:
            return "colour 2";
        case protocol::SettingCommand::SetRow1:
            return "row 1";
        case protocol::SettingCommand::SetRow2:
            return "row 2";
    }
    return "command";
}

}  // namespace sw::cli
