#include "cli/preset.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace sw::cli {

namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 9> kKeys = {"version", "h",       "v",    "size", "halftone",
                                                   "colour1", "colour2", "row1", "row2"};

// A number or a text, as the command-line parsers take it.
std::optional<std::string> scalarText(const json& value) {
    if (value.is_number_unsigned())
        return std::to_string(value.get<std::uint64_t>());
    if (value.is_string())
        return value.get<std::string>();
    return std::nullopt;
}

template <typename T, typename Parse>
bool readValue(const json& object, const char* key, std::optional<T>& out, Parse parse, std::string& error) {
    const auto it = object.find(key);
    if (it == object.end())
        return true;
    const auto text = scalarText(*it);
    if (!text) {
        error = joined({"\"", key, "\" must be a number or a text"});
        return false;
    }
    std::string valueError;
    out = parse(*text, valueError);
    if (!out) {
        error = joined({"\"", key, "\": ", valueError});
        return false;
    }
    return true;
}

}  // namespace

std::optional<SettingsRequest> parsePreset(std::string_view text, std::string& error) {
    const json object = json::parse(text, nullptr, false);
    if (object.is_discarded()) {
        error = "not valid JSON";
        return std::nullopt;
    }
    if (!object.is_object()) {
        error = "not a preset: a JSON object is expected";
        return std::nullopt;
    }
    for (const auto& item : object.items()) {
        if (std::find(kKeys.begin(), kKeys.end(), item.key()) == kKeys.end()) {
            error = joined({"unknown key \"", item.key(), "\""});
            return std::nullopt;
        }
    }
    const auto version = object.find("version");
    if (version == object.end() || !version->is_number_integer() || version->get<std::int64_t>() != kPresetVersion) {
        error = "not a preset of version 1 (\"version\": 1 is required)";
        return std::nullopt;
    }

    SettingsRequest settings;
    if (!readValue(object, "h", settings.h, parsePosition, error) ||
        !readValue(object, "v", settings.v, parsePosition, error) ||
        !readValue(object, "size", settings.sizeIndex, parseSize, error) ||
        !readValue(object, "colour1", settings.colour1, parseColour, error) ||
        !readValue(object, "colour2", settings.colour2, parseColour, error))
        return std::nullopt;

    if (const auto it = object.find("halftone"); it != object.end()) {
        if (!it->is_boolean()) {
            error = "\"halftone\" must be true or false";
            return std::nullopt;
        }
        settings.halftone = it->get<bool>();
    }
    for (auto [key, row] : {std::pair{"row1", &settings.row1}, std::pair{"row2", &settings.row2}}) {
        if (const auto it = object.find(key); it != object.end()) {
            if (!it->is_string()) {
                error = joined({"\"", key, "\" must be a text"});
                return std::nullopt;
            }
            *row = it->get<std::string>();
        }
    }
    return settings;
}

std::string formatPreset(const SettingsRequest& settings) {
    // Keys in the panel's send order, so a preset reads like the dialog.
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    object["version"] = kPresetVersion;
    if (settings.h)
        object["h"] = *settings.h;
    if (settings.v)
        object["v"] = *settings.v;
    if (settings.sizeIndex)
        object["size"] = *settings.sizeIndex + 1;
    if (settings.halftone)
        object["halftone"] = *settings.halftone;
    if (settings.colour1)
        object["colour1"] = *settings.colour1;
    if (settings.colour2)
        object["colour2"] = *settings.colour2;
    if (settings.row1)
        object["row1"] = *settings.row1;
    if (settings.row2)
        object["row2"] = *settings.row2;
    return object.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace sw::cli
