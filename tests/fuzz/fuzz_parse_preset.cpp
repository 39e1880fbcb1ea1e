// Any bytes as a preset file: refused with a reason, or taken, and what is taken plans only commands that fit the
// device's frames and reads the same when written back. The same bytes as a row's cells: what `read --json` writes
// for them, `send --preset` takes back and puts on the wire as those very cells. The same bytes as the body of a
// request to serve: a 400 or 422 with a reason, or commands that fit (send) and positions within range (position).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/device_rows.h"
#include "cli/preset.h"
#include "cli/serve/request_body.h"
#include "cli/settings.h"
#include "protocol/reply_decoder.h"

namespace {

using namespace sw::cli;

void presetProperties(std::string_view text) {
    std::string error;
    const auto preset = parsePreset(text, error);
    if (!preset) {
        if (error.empty())
            __builtin_trap();  // a refusal always says why
        return;
    }
    if ((preset->h && *preset->h > 2047) || (preset->v && *preset->v > 2047) ||
        (preset->sizeIndex && *preset->sizeIndex > 3) || (preset->colour1 && *preset->colour1 > 15) ||
        (preset->colour2 && *preset->colour2 > 15))
        __builtin_trap();
    const auto commands = planCommands(*preset, error);
    if (commands) {
        for (const PlannedCommand& command : *commands) {
            if (command.cells.length % 2 != 0 || command.cells.length > sw::protocol::kRowCellBytes)
                __builtin_trap();
        }
    }
    // What was taken is written back as a preset that reads the same.
    std::string again;
    const auto reread = parsePreset(formatPreset(*preset), again);
    if (!reread || !(*reread == *preset))
        __builtin_trap();
}

void readRowProperties(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, 2 + sw::protocol::kRowCellBytes> reply{0, 0x38};
    std::copy(data, data + std::min(size, sw::protocol::kRowCellBytes), reply.begin() + 2);
    const sw::protocol::DecodedReply decoded = sw::protocol::decodeReply(reply);
    const auto* row = std::get_if<sw::protocol::RowReply>(&decoded);
    if (row == nullptr)
        __builtin_trap();
    SettingsRequest read;
    read.row1 = rowFromReply(*row);
    std::string error;
    const auto taken = parsePreset(formatPreset(read), error);
    if (!taken)
        __builtin_trap();
    const auto commands = planCommands(*taken, error);
    if (!commands || commands->size() != 1 ||
        !std::equal(row->cells.begin(), row->cells.end(), commands->front().cells.bytes.begin()))
        __builtin_trap();
}

void requestBodyProperties(std::string_view body) {
    using namespace sw::cli::serve;
    const SendBody send = parseSendBody(body);
    if (send.status == kStatusOk) {
        if (send.plan.empty() || !send.error.empty())
            __builtin_trap();
        for (const PlannedCommand& command : send.plan) {
            if (command.cells.length % 2 != 0 || command.cells.length > sw::protocol::kRowCellBytes)
                __builtin_trap();
        }
    } else if ((send.status != kStatusBadRequest && send.status != kStatusUnprocessable) || send.error.empty()) {
        __builtin_trap();
    }
    const PositionBody position = parsePositionBody(body);
    if (position.status == kStatusOk) {
        if ((!position.h && !position.v) || (position.h && *position.h > 2047) || (position.v && *position.v > 2047))
            __builtin_trap();
    } else if (position.error.empty()) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    presetProperties(std::string_view(reinterpret_cast<const char*>(data), size));
    readRowProperties(data, size);
    requestBodyProperties(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
