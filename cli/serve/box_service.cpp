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
#include "device/connect.h"
#include "device/read_back_pass.h"
#include "protocol/product.h"

namespace sw::cli::serve {

namespace {

using nlohmann::ordered_json;

// More than the system queues for one handle: the drain before a conversation always ends.
constexpr int kMaxStaleReports = 256;

std::string dumped(const ordered_json& value) {
    return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

std::string errorBody(const std::string& step, const std::string& error) {
    return dumped({{"error", error}, {"step", step}});
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

BoxService::BoxService(device::DeviceLink& link, std::string device, EventHub& events, device::BoxLocker locker)
    : link_(link), device_(std::move(device)), events_(events), locker_(std::move(locker)) {}

bool BoxService::takeBox(std::uint32_t lockWaitMs, std::optional<device::BoxLock>& lock, ApiAnswer& answer) {
    device::Connection connection;
    if (link_.IsOpen()) {
        connection.path = openPath_;
    } else {
        connection = device::findBox(link_, protocol::kVendorId, protocol::kProductId, device_);
        if (connection.path.empty()) {
            answer = {
                kStatusNoDevice, errorBody("connect", joined({"the ", protocol::kModelName, " was not found"})), {}};
            return false;
        }
    }

    lock.emplace(locker_(connection.path, lockWaitMs));
    if (lock->outcome() == device::BoxLock::Outcome::Busy) {
        const std::string holder = lock->holder().empty() ? std::string("another program") : lock->holder();
        answer = {kStatusNoDevice, errorBody("lock", joined({"the box is busy: ", holder, " is talking to it"})), {}};
        return false;
    }
    // A lock that cannot be taken at all (Failed) does not stop the server, as it does not stop the CLI.

    if (link_.IsOpen()) {
        // Replies to another program's queries reach our open handle too: they are not ours to read.
        std::vector<std::uint8_t> stale(lengths_.input);
        for (int i = 0; i < kMaxStaleReports && link_.ReadReport(stale) == device::ReadOutcome::Received; ++i) {
        }
        return true;
    }
    device::openBox(link_, connection);
    if (connection.outcome == device::ConnectOutcome::Connected) {
        openPath_ = connection.path;
        lengths_ = connection.lengths;
        return true;
    }
    link_.Close();
    answer = {kStatusNoDevice,
              errorBody("connect", connection.outcome == device::ConnectOutcome::OpenFailed
                                       ? joined({"connecting to it failed: ", openFailureReason(link_)})
                                       : std::string("getting the report size failed")),
              {}};
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
        std::optional<device::BoxLock> lock;
        if (!takeBox(kBoxLockWaitMs, lock, answer))
            return answer;
        std::string failure;
        const auto noteFailure = [&](const device::QueryStep& step, const device::ReadBackValues&) {
            const std::string words = failureOf(step);
            if (!words.empty() && failure.empty())
                failure =
                    joined({"query ", std::to_string(step.number), " of ", std::to_string(protocol::kQueryOrder.size()),
                            " (", queryLabel(step.query), "): ", words});
        };
        const device::ReadBackPass pass = device::runReadBackPass(link_, lengths_, noteFailure);
        const device::ReadBackValues& v = pass.values;
        // Each of the six must have got its own answer: a reply to another query leaves its own value missing.
        if (failure.empty() && !pass.complete())
            failure = "a query got no answer of its own; read again";
        if (!failure.empty())
            return deviceFailure("read", failure);
        const std::string preset = formatPreset(settingsOf(v), factsOf(v));
        const auto now = std::chrono::system_clock::now();
        {
            const std::lock_guard cacheLock(cacheMutex_);
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
        std::optional<device::BoxLock> lock;
        if (!takeBox(kBoxLockWaitMs, lock, answer))
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
        std::optional<device::BoxLock> lock;
        // A live step does not wait for another program: the next step comes within 100 ms anyway.
        if (!takeBox(0, lock, answer)) {
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
