#include "device/query_exchange.h"

#include "protocol/query_request.h"

namespace sw::device {

QueryResult exchangeQuery(DeviceLink& link,
                          protocol::QueryCode query,
                          ReportLengths lengths,
                          ReportBuffer::Source source) {
    {
        // The request buffer is released before the pause: only the reply's buffer lives across it.
        ReportBuffer request(lengths.output, source);
        if (!request.obtained() || !protocol::buildQueryRequest(query, request.bytes()) ||
            link.WriteReport(request.bytes(), kQueryWriteWaitMs, true) == WriteOutcome::SendFailed)
            return {QueryOutcome::SendFailed, {}};
    }

    link.PauseForReply();

    ReportBuffer reply(lengths.input, source);
    if (!reply.obtained())
        return {QueryOutcome::NotReady, {}};
    if (reply.bytes().empty()) {
        // A zero-length input report can carry no reply at all.
        return {QueryOutcome::Received, protocol::UnrecognisedReply{}};
    }
    switch (link.ReadReport(reply.bytes())) {
        case ReadOutcome::NotReady:
            return {QueryOutcome::NotReady, {}};
        case ReadOutcome::ReceiveFailed:
            return {QueryOutcome::ReceiveFailed, {}};
        case ReadOutcome::Received:
            break;
    }
    return {QueryOutcome::Received, protocol::decodeReply(reply.bytes())};
}

bool writeSettingCommand(DeviceLink& link,
                         protocol::SettingCommand command,
                         const protocol::SettingValue& value,
                         std::uint16_t outputLength,
                         std::uint32_t waitMs,
                         ReportBuffer::Source source) {
    ReportBuffer report(outputLength, source);
    // A report too short for the 65-byte frame cannot carry the command; a truncated one is never sent.
    return report.obtained() && protocol::buildSettingCommand(command, value, report.bytes()) &&
           link.WriteReport(report.bytes(), waitMs, true) == WriteOutcome::Sent;
}

}  // namespace sw::device
