#include "cli/serve/request_body.h"

#include <nlohmann/json.hpp>

#include "cli/preset.h"
#include "cli/quoting.h"
#include "protocol/unicode_text.h"

namespace sw::cli::serve {

namespace {

using nlohmann::json;

// Walks the text without building it, so that depth is refused before any of it is held.
class SyntaxCheck : public nlohmann::json_sax<json> {
public:
    std::string error;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return enter(); }
    bool key(string_t&) override { return true; }
    bool end_object() override { return leave(); }
    bool start_array(std::size_t) override { return enter(); }
    bool end_array() override { return leave(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override {
        error = joined({"not valid JSON (at byte ", std::to_string(position), ")"});
        return false;
    }

private:
    bool enter() {
        if (++depth_ <= kMaxJsonDepth)
            return true;
        error = joined({"the JSON is nested deeper than ", std::to_string(kMaxJsonDepth), " levels"});
        return false;
    }
    bool leave() {
        --depth_;
        return true;
    }
    std::size_t depth_ = 0;
};

}  // namespace

std::string jsonSyntaxError(std::string_view body) {
    if (!protocol::fromUtf8(body))
        return "the body is not UTF-8 text";
    SyntaxCheck check;
    if (!json::sax_parse(body, &check) && check.error.empty())
        check.error = "not valid JSON";
    return check.error;
}

SendBody parseSendBody(std::string_view body) {
    SendBody result;
    result.error = jsonSyntaxError(body);
    if (!result.error.empty()) {
        result.status = kStatusBadRequest;
        return result;
    }
    auto refuse = [&](std::string error) {
        result.status = kStatusUnprocessable;
        result.error = std::move(error);
        return result;
    };
    std::string error;
    const auto request = parsePreset(body, error, &result.notes);
    if (!request)
        return refuse(error);
    if (request->empty())
        return refuse("nothing to send: the preset holds no setting");
    auto plan = planCommands(*request, error);
    if (!plan)
        return refuse(error);
    result.request = *request;
    result.plan = std::move(*plan);
    return result;
}

PositionBody parsePositionBody(std::string_view body) {
    PositionBody result;
    result.error = jsonSyntaxError(body);
    if (!result.error.empty()) {
        result.status = kStatusBadRequest;
        return result;
    }
    auto refuse = [&](std::string error) {
        result.status = kStatusUnprocessable;
        result.error = std::move(error);
        return result;
    };
    json object = json::parse(body, nullptr, false);
    if (!object.is_object())
        return refuse("a JSON object with \"h\", \"v\" or both is expected");
    for (const auto& item : object.items()) {
        if (item.key() != "h" && item.key() != "v")
            return refuse(joined({"unknown key ", quotedInput(item.key()), " (only \"h\" and \"v\")"}));
    }
    if (object.empty())
        return refuse("nothing to send: give \"h\", \"v\" or both");
    // The preset parser reads the two as it reads them in a preset file: the same range, the same clamp.
    object["version"] = kPresetVersion;
    std::string error;
    const auto request = parsePreset(object.dump(), error);
    if (!request)
        return refuse(error);
    result.h = request->h;
    result.v = request->v;
    return result;
}

}  // namespace sw::cli::serve
