#pragma once
// The two exchanges every front makes with the device: one query (request, pause, reply) and one setting command
// (a confirmed write). The panel's dialog flows and the command-line companion both go through these, so the
// waits, the frames and the buffer handling are the same for both.

#include <cstdint>

#include "device/device_link.h"
#include "device/report_buffer.h"
#include "protocol/command_codes.h"
#include "protocol/reply_decoder.h"
#include "protocol/setting_command.h"

namespace sw::device {

// The report lengths of the open session (report ID byte included).
struct ReportLengths {
    std::uint16_t input = 0;
    std::uint16_t output = 0;
};

enum class QueryOutcome {
    Received,       // `reply` holds the decoded reply (UnrecognisedReply for an unknown echo or a short report)
    SendFailed,     // the request could not be built or written: the device needs reconnecting
    NotReady,       // no reply was waiting after the pause (or no buffer could be had): reconnect
    ReceiveFailed,  // the read completed with an error: the next query may still succeed
};

struct QueryResult {
    QueryOutcome outcome = QueryOutcome::SendFailed;
    protocol::DecodedReply reply;
};

// Builds the request in a fresh buffer, writes it (500 ms, confirmed), pauses for the reply and reads one
// report. A report too short for the 65-byte frame is never sent truncated: that is a failed send.
QueryResult exchangeQuery(DeviceLink& link,
                          protocol::QueryCode query,
                          ReportLengths lengths,
                          ReportBuffer::Source source = &ReportBuffer::allocateZeroed);

// Builds one setting command in a fresh buffer and writes it with the given wait, confirmed. False when no buffer
// could be had, the report is too short for the frame, or the write failed.
bool writeSettingCommand(DeviceLink& link,
                         protocol::SettingCommand command,
                         const protocol::SettingValue& value,
                         std::uint16_t outputLength,
                         std::uint32_t waitMs = kSendWriteWaitMs,
                         ReportBuffer::Source source = &ReportBuffer::allocateZeroed);

}  // namespace sw::device
