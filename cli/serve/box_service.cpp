#include "cli/serve/box_service.h"

#include <nlohmann/json.hpp>

#include <ctime>
#include <sstream>

#include "cli/cli_app.h"
#include "cli/device_session.h"
#include "cli/list_command.h"
#include "cli/preset.h"
#include "cli/read_back_result.h"
#include "cli/send_plan.h"
#include "device/read_back_pass.h"

namespace sw::cli::serve {

namespace {

using nlohmann::ordered_json;

std::string dumped(const ordered_json& value) {
    return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

std::string errorBody(const std::string& step, const std::string& error) {
    return dumped({{"error", error}, {"step", step}});
}

// The CLI's message without its "error: " and line end.
std::string messageOf(const std::string& text) {
    std::string message = text.substr(0, text.find('\n'));
    if (message.rfind("error: ", 0) == 0)
        message.erase(0, 7);
    return message;
}

// A preset on one line, for an event.
std::string oneLine(const std::string& preset) {
    return dumped(ordered_json::parse(preset, nullptr, false));
}

}  // namespace

std::string httpDate(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char text[40];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &utc);
    return text;
}

BoxService::BoxService(device::DeviceLink& link, std::string devicePath, EventHub& events)
    : link_(link), devicePath_(std::move(devicePath)), events_(events) {}

bool BoxService::ensureOpen(ApiAnswer& answer) {
    if (link_.IsOpen())
        return true;
    std::ostringstream err;
    if (openDevice(link_, devicePath_, err, lengths_) == kExitOk)
        return true;
    link_.Close();
    answer = {kStatusNoDevice, errorBody("connect", messageOf(err.str())), {}};
    return false;
}

ApiAnswer BoxService::deviceFailure(const std::string& step, const std::string& error) {
    link_.Close();
    events_.publish("failure", errorBody(step, error));
    return {kStatusDeviceFailed, errorBody(step, error), {}};
}

ApiAnswer BoxService::devices() {
    return withBox([&] {
        std::ostringstream out;
        std::ostringstream err;
        runList(link_, true, out, err);  // the list closes the box: the next conversation opens it again
        return ApiAnswer{kStatusOk, out.str(), {}};
    });
}

ApiAnswer BoxService::readState() {
    return withBox([&] {
        ApiAnswer answer;
        if (!ensureOpen(answer))
            return answer;
        std::string failure;
        const auto noteFailure = [&](const device::QueryStep& step, const device::ReadBackValues&) {
            const char* words = failureOf(step.result);
            if (words && failure.empty())
                failure =
                    joined({"query ", std::to_string(step.number), " of ", std::to_string(protocol::kQueryOrder.size()),
                            " (", queryLabel(step.query), "): ", words});
        };
        const device::ReadBackPass pass = device::runReadBackPass(link_, lengths_, noteFailure);
        const device::ReadBackValues& v = pass.values;
        // Each of the six must have been answered: a reply for another query leaves its own value missing.
        if (failure.empty() && !(v.layout && v.colour1 && v.colour2 && v.row1 && v.row2 && v.status))
            failure = "a query was answered by the reply of another; read again";
        if (!failure.empty())
            return deviceFailure("read", failure);
        const std::string preset = formatPreset(settingsOf(v), factsOf(v));
        const auto now = std::chrono::system_clock::now();
        {
            const std::lock_guard lock(cacheMutex_);
            cachedState_ = preset;
            cachedAt_ = now;
        }
        events_.publish("state", oneLine(preset));
        return ApiAnswer{kStatusOk, preset, httpDate(now)};
    });
}

ApiAnswer BoxService::cachedState() const {
    const std::lock_guard lock(cacheMutex_);
    if (cachedState_.empty())
        return {kStatusNotFound, errorBody("read", "nothing was read yet: GET /api/v1/state reads the box"), {}};
    return {kStatusOk, cachedState_, httpDate(cachedAt_)};
}

ApiAnswer BoxService::send(const SendBody& body) {
    return withBox([&] {
        ApiAnswer answer;
        if (!ensureOpen(answer))
            return answer;
        const std::size_t written = writePlan(link_, body.plan, lengths_.output);
        if (written < body.plan.size())
            return deviceFailure(std::string(commandLabel(body.plan[written].command)),
                                 planFailure(body.plan, written));
        ordered_json commands = ordered_json::array();
        for (const PlannedCommand& command : body.plan)
            commands.push_back(commandLabel(command.command));
        events_.publish("sent", oneLine(formatPreset(body.request)));
        return ApiAnswer{
            kStatusOk, dumped({{"sent", written}, {"commands", commands}, {"notes", body.notes}}) + "\n", {}};
    });
}

void BoxService::sendPosition(std::optional<std::uint16_t> h, std::optional<std::uint16_t> v) {
    withBox([&] {
        ApiAnswer answer;
        if (!ensureOpen(answer)) {
            events_.publish("failure", answer.body);
            return;
        }
        ordered_json sent = ordered_json::object();
        for (auto [axis, value, command] : {std::tuple{"h", h, protocol::SettingCommand::SetHPosition},
                                            std::tuple{"v", v, protocol::SettingCommand::SetVPosition}}) {
            if (!value)
                continue;
            if (!device::writeSettingCommand(link_, command, protocol::SettingValue{*value, {}}, lengths_.output,
                                             device::kLiveWriteWaitMs)) {
                deviceFailure(std::string(commandLabel(command)),
                              joined({"sending ", commandLabel(command), " failed; reconnect the device"}));
                return;
            }
            sent[axis] = *value;
        }
        events_.publish("position", dumped(sent));
    });
}

}  // namespace sw::cli::serve
