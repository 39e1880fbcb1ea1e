#pragma once
// The read-back pass that the panel and the companion share: the six queries in their order, each exchanged and
// recorded, stopping where the device needs reconnecting. Each program shows the outcome of each query in its own
// way as it comes (the panel writes each reply into its controls at once).

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "device/device_link.h"
#include "device/query_exchange.h"
#include "device/report_buffer.h"
#include "protocol/command_codes.h"
#include "protocol/reply_decoder.h"
#include "protocol/signal_format.h"

namespace sw::device {

// What one pass collected; a pass starts empty, and nothing of it survives into the next.
struct ReadBackValues {
    std::optional<protocol::LayoutReply> layout;
    std::optional<std::uint8_t> colour1;  // palette index
    std::optional<std::uint8_t> colour2;
    std::optional<protocol::RowReply> row1;
    std::optional<protocol::RowReply> row2;
    std::optional<protocol::StatusReply> status;
    // The block the range check looked at when the status reply came: the layout and both rows of this pass, or
    // none when one was missing then (the panel's own values may be stale or the operator's edits).
    std::optional<protocol::TextBlock> statusBlock;
    // Both rows for the multi-line display; a row-2 reply brings the line break in front of its text.
    std::string combinedText;

    std::optional<protocol::TextBlock> textBlock() const;
    void record(const protocol::DecodedReply& reply);
};

struct QueryStep {
    protocol::QueryCode query;
    int number = 0;  // 1 to 6
    QueryResult result;
};

// Whether a reply is the answer to `query`: the decoders follow the echo code, so a reply that echoes another
// query's code is recorded as that query's, and the query that was sent stays unanswered.
bool answers(const protocol::DecodedReply& reply, protocol::QueryCode query);

struct ReadBackPass {
    ReadBackValues values;
    // A failed send, or no reply waiting: the remaining queries were not sent.
    bool stopped = false;
    // By the position of the query in kQueryOrder: whether it got a reply of its own in this pass.
    std::array<bool, protocol::kQueryOrder.size()> answered{};

    // Every query got its own reply: nothing the pass shows is missing or taken from another query's reply.
    bool complete() const;
};

using QueryStepSink = std::function<void(const QueryStep& step, const ReadBackValues& values)>;

ReadBackPass runReadBackPass(DeviceLink& link,
                             ReportLengths lengths,
                             const QueryStepSink& onStep,
                             ReportBuffer::Source source = &ReportBuffer::allocateZeroed);

}  // namespace sw::device
