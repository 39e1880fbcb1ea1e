#include "device/read_back_pass.h"

#include <type_traits>
#include <variant>

#include "protocol/text_cells.h"

namespace sw::device {

std::optional<protocol::TextBlock> ReadBackValues::textBlock() const {
    if (!layout || !row1 || !row2)
        return std::nullopt;
    return protocol::TextBlock{layout->hPosition, layout->vPosition, layout->sizeIndex, row1->cellCount,
                               row2->cellCount};
}

void ReadBackValues::record(const protocol::DecodedReply& reply) {
    std::visit(
        [this](const auto& decoded) {
            using Reply = std::decay_t<decltype(decoded)>;
            if constexpr (std::is_same_v<Reply, protocol::LayoutReply>) {
                layout = decoded;
            } else if constexpr (std::is_same_v<Reply, protocol::ColourReply>) {
                (decoded.colour == 1 ? colour1 : colour2) = decoded.colourIndex;
            } else if constexpr (std::is_same_v<Reply, protocol::RowReply>) {
                (decoded.row == 1 ? row1 : row2) = decoded;
                protocol::appendToCombinedText(combinedText, decoded.row, decoded.text);
            } else if constexpr (std::is_same_v<Reply, protocol::StatusReply>) {
                status = decoded;
                statusBlock = textBlock();
            }
        },
        reply);
}

ReadBackPass runReadBackPass(DeviceLink& link,
                             ReportLengths lengths,
                             const QueryStepSink& onStep,
                             ReportBuffer::Source source) {
    ReadBackPass pass;
    int number = 0;
    for (const protocol::QueryCode query : protocol::kQueryOrder) {
        QueryStep step{query, ++number, exchangeQuery(link, query, lengths, source)};
        if (step.result.outcome == QueryOutcome::Received)
            pass.values.record(step.result.reply);
        onStep(step, pass.values);
        if (step.result.outcome == QueryOutcome::SendFailed || step.result.outcome == QueryOutcome::NotReady) {
            pass.stopped = true;
            break;
        }
    }
    return pass;
}

}  // namespace sw::device
