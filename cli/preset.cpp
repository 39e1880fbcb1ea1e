#include "cli/preset.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <set>

#include "cli/quoting.h"
#include "protocol/product.h"
#include "protocol/text_cells.h"
#include "protocol/unicode_text.h"

namespace sw::cli {

namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 11> kSettingKeys = {
    "version", "h", "v", "size", "halftone", "colour1", "colour2", "row1", "row2", "row1Cells", "row2Cells"};
// What `read` writes besides the settings; taken and left alone.
constexpr std::array<std::string_view, 7> kReadOnlyKeys = {
    "colour1Name", "colour1NameJapanese", "colour2Name", "colour2NameJapanese", "osdPattern", "input", "rangeWarning"};

// Presets saved by Windows PowerShell 5.1's ">" are UTF-16 with a byte-order mark; a UTF-8 one is dropped.
std::optional<std::string> presetText(std::string_view bytes, std::string& error) {
    const auto starts = [bytes](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        const bool little = bytes[0] == '\xFF';
        bytes.remove_prefix(2);
        std::u16string units;
        for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
            const auto low = static_cast<unsigned char>(bytes[at + (little ? 0 : 1)]);
            const auto high = static_cast<unsigned char>(bytes[at + (little ? 1 : 0)]);
            units.push_back(static_cast<char16_t>(high << 8 | low));
        }
        const std::u32string codePoints = protocol::fromUtf16(std::u16string_view(units));
        const bool lone =
            std::any_of(codePoints.begin(), codePoints.end(), [](char32_t c) { return c >= 0xD800 && c <= 0xDFFF; });
        if (bytes.size() % 2 != 0 || lone) {
            error = "not valid UTF-16 text";
            return std::nullopt;
        }
        return protocol::toUtf8(codePoints);
    }
    if (!protocol::fromUtf8(bytes)) {
        error = "not UTF-8 text (nor UTF-16 with a byte-order mark)";
        return std::nullopt;
    }
    return std::string(bytes);
}

std::string keyName(std::string_view key) {
    return joined({"\"", key, "\""});
}

std::string kindOf(const json& value) {
    switch (value.type()) {
        case json::value_t::null:
            return "null";
        case json::value_t::boolean:
            return value.get<bool>() ? "true" : "false";
        case json::value_t::array:
            return "a list";
        case json::value_t::object:
            return "an object";
        case json::value_t::string:
            return quotedInput(value.get<std::string>());
        default:
            return quotedInput(value.dump());
    }
}

// A text of at most nine digits, as a position or a size may also be written.
std::optional<long double> digitsValue(const std::string& text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.size() > 9 || ec != std::errc{} || end != text.data() + text.size() || text[0] < '0' ||
        text[0] > '9')
        return std::nullopt;
    return value;
}

// A whole number within [min, max], written as a number or as a text of digits.
std::optional<long long> wholeNumber(const json& value,
                                     std::string_view key,
                                     long long min,
                                     long long max,
                                     std::string& error) {
    const std::string range = joined({" (", std::to_string(min), " to ", std::to_string(max), ")"});
    std::optional<long double> number;
    if (value.is_number_unsigned())
        number = static_cast<long double>(value.get<std::uint64_t>());
    else if (value.is_number_integer())
        number = static_cast<long double>(value.get<std::int64_t>());
    else if (value.is_number_float())
        number = value.get<double>();
    else if (value.is_string())
        number = digitsValue(value.get<std::string>());
    if (!number) {
        error = joined({keyName(key), " must be a whole number", range, ", not ", kindOf(value)});
        return std::nullopt;
    }
    if (!std::isfinite(*number) || *number != std::floor(*number)) {
        error = joined({keyName(key), ": ", kindOf(value), " is not a whole number"});
        return std::nullopt;
    }
    if (*number < min || *number > max) {
        error = joined({keyName(key), ": ", kindOf(value), " is out of range", range});
        return std::nullopt;
    }
    return static_cast<long long>(*number);
}

// All 16 cells: a preset holds the whole row as read.
std::optional<protocol::RowCells> readCellsFromHex(const json& value, std::string_view key, std::string& error) {
    std::optional<protocol::RowCells> cells;
    if (value.is_string() && value.get<std::string>().size() == 2 * protocol::kRowCellBytes)
        cells = protocol::cellsFromHex(value.get<std::string>());
    if (!cells)
        error = joined({keyName(key), " must be the row's 16 cells as 64 hexadecimal digits, not ", kindOf(value)});
    return cells;
}

// Where the parser stopped in text that is no JSON: only the position is kept, never the parser's own words,
// which echo the input.
class ErrorPosition : public nlohmann::json_sax<json> {
public:
    std::size_t position = 0;  // characters read when the parser gave up

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t at, const std::string&, const nlohmann::detail::exception&) override {
        position = at;
        return false;
    }
};

// "not valid JSON at line L, column C": the line and the character in it (both from 1) where it stops being JSON.
std::string jsonErrorAt(const std::string& text) {
    ErrorPosition where;
    json::sax_parse(text, &where);
    const std::size_t last = std::min(where.position == 0 ? 0 : where.position - 1, text.size());
    const std::size_t lineStart = text.rfind('\n', last == 0 ? 0 : last - 1);
    const std::size_t from = lineStart == std::string::npos || last == 0 ? 0 : lineStart + 1;
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + from, '\n'));
    // Characters, not bytes: a UTF-8 continuation byte starts none.
    std::size_t column = 1;
    for (std::size_t i = from; i < last; ++i)
        column += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 ? 1 : 0;
    return joined({"not valid JSON at line ", std::to_string(line), ", column ", std::to_string(column)});
}

// The first key that an object of the text holds twice, at any depth; the parser itself would keep the last.
std::optional<json> parseRefusingRepeats(const std::string& text, std::string& repeated) {
    std::vector<std::set<std::string>> open;
    const json::parser_callback_t watch = [&](int, json::parse_event_t event, json& parsed) {
        if (event == json::parse_event_t::object_start)
            open.emplace_back();
        else if (event == json::parse_event_t::object_end && !open.empty())
            open.pop_back();
        else if (event == json::parse_event_t::key && !open.empty() &&
                 !open.back().insert(parsed.get<std::string>()).second && repeated.empty())
            repeated = parsed.get<std::string>();
        return true;
    };
    json object = json::parse(text, watch, false);
    if (object.is_discarded())
        return std::nullopt;
    return object;
}

bool readPosition(const json& object,
                  const char* key,
                  std::optional<std::uint16_t>& out,
                  std::string& error,
                  std::vector<std::string>* notes) {
    const auto it = object.find(key);
    if (it == object.end())
        return true;
    const auto value = wholeNumber(*it, key, 0, protocol::kMaxReportedPosition, error);
    if (!value)
        return false;
    out = protocol::clampPosition(static_cast<unsigned>(*value));
    if (*value > protocol::kMaxPosition && notes)
        notes->push_back(joined({keyName(key), " ", std::to_string(*value), " goes out as ",
                                 std::to_string(protocol::kMaxPosition), ", the highest position the panel sends"}));
    return true;
}

bool readRow(const json& object, int row, std::optional<RowRequest>& out, std::string& error) {
    const std::string key = joined({"row", std::to_string(row)});
    const std::string cellsKey = joined({key, "Cells"});
    const auto it = object.find(key);
    const auto cells = object.find(cellsKey);
    if (it == object.end()) {
        if (cells != object.end()) {
            error = joined({keyName(cellsKey), " needs ", keyName(key)});
            return false;
        }
        return true;
    }
    if (!it->is_string()) {
        error = joined({keyName(key), " must be a text, not ", kindOf(*it)});
        return false;
    }
    out = RowRequest{it->get<std::string>(), {}};
    if (cells != object.end()) {
        out->readCells = readCellsFromHex(*cells, cellsKey, error);
        if (!out->readCells)
            return false;
    }
    return true;
}

}  // namespace

std::optional<SettingsRequest> parsePreset(std::string_view bytes,
                                           std::string& error,
                                           std::vector<std::string>* notes) {
    const auto text = presetText(bytes, error);
    if (!text)
        return std::nullopt;
    std::string repeated;
    const auto parsed = parseRefusingRepeats(*text, repeated);
    if (!parsed) {
        error = jsonErrorAt(*text);
        return std::nullopt;
    }
    const json& object = *parsed;
    if (!object.is_object()) {
        error = "not a preset: a JSON object is expected";
        return std::nullopt;
    }
    if (!repeated.empty()) {
        error = joined({"the key ", quotedInput(repeated), " is given more than once"});
        return std::nullopt;
    }
    for (const auto& item : object.items()) {
        const auto known = [&](const auto& keys) {
            return std::find(keys.begin(), keys.end(), item.key()) != keys.end();
        };
        if (!known(kSettingKeys) && !known(kReadOnlyKeys)) {
            error = joined({"unknown key ", quotedInput(item.key())});
            return std::nullopt;
        }
    }
    const auto version = object.find("version");
    if (version == object.end() || !version->is_number_integer() || version->get<std::int64_t>() != kPresetVersion) {
        error = "not a preset of version 1 (\"version\": 1 is required)";
        return std::nullopt;
    }

    SettingsRequest settings;
    if (!readPosition(object, "h", settings.h, error, notes) || !readPosition(object, "v", settings.v, error, notes))
        return std::nullopt;
    if (const auto it = object.find("size"); it != object.end()) {
        const auto size = wholeNumber(*it, "size", 1, 4, error);
        if (!size)
            return std::nullopt;
        settings.sizeIndex = static_cast<std::uint8_t>(*size - 1);
    }
    if (const auto it = object.find("halftone"); it != object.end()) {
        if (!it->is_boolean()) {
            error = joined({"\"halftone\" must be true or false, not ", kindOf(*it)});
            return std::nullopt;
        }
        settings.halftone = it->get<bool>();
    }
    for (auto [key, colour] : {std::pair{"colour1", &settings.colour1}, std::pair{"colour2", &settings.colour2}}) {
        const auto it = object.find(key);
        if (it == object.end())
            continue;
        std::string colourError;
        if (it->is_string())
            *colour = parseColour(it->get<std::string>(), colourError);
        else if (const auto index = wholeNumber(*it, key, 0, 15, colourError))
            *colour = static_cast<std::uint8_t>(*index);
        if (!*colour) {
            error = it->is_string() ? joined({keyName(key), ": ", colourError}) : colourError;
            return std::nullopt;
        }
    }
    if (!readRow(object, 1, settings.row1, error) || !readRow(object, 2, settings.row2, error))
        return std::nullopt;
    return settings;
}

std::string formatPreset(const SettingsRequest& settings, const ReadFacts& facts) {
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
    for (auto [key, colour] : {std::pair{"colour1", settings.colour1}, std::pair{"colour2", settings.colour2}}) {
        if (!colour)
            continue;
        object[key] = *colour;
        object[joined({key, "Name"})] = colourGloss(*colour);
        object[joined({key, "NameJapanese"})] = colourJapaneseName(*colour);
    }
    for (auto [key, row] : {std::pair{"row1", &settings.row1}, std::pair{"row2", &settings.row2}}) {
        if (!*row)
            continue;
        object[key] = (*row)->text;
        if ((*row)->readCells)
            object[joined({key, "Cells"})] = protocol::cellsToHex(*(*row)->readCells);
    }
    if (facts.osdPattern)
        object["osdPattern"] = *facts.osdPattern;
    if (facts.input) {
        if (facts.input->resolved)
            object["input"] = {{"width", facts.input->width},
                               {"height", facts.input->height},
                               {"scan", facts.input->interlaced ? "interlaced" : "progressive"}};
        else
            object["input"] = nullptr;
    }
    if (facts.rangeWarning)
        object["rangeWarning"] = *facts.rangeWarning;
    return object.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace sw::cli
