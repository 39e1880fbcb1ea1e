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

bool answers(const protocol::DecodedReply& reply, protocol::QueryCode query) {
    using protocol::QueryCode;
    return std::visit(
        [query](const auto& decoded) {
            using Reply = std::decay_t<decltype(decoded)>;
            if constexpr (std::is_same_v<Reply, protocol::LayoutReply>)
                return query == QueryCode::QueryLayout;
            else if constexpr (std::is_same_v<Reply, protocol::ColourReply>)
                return query == (decoded.colour == 1 ? QueryCode::QueryColor1 : QueryCode::QueryColor2);
            else if constexpr (std::is_same_v<Reply, protocol::RowReply>)
                return query == (decoded.row == 1 ? QueryCode::QueryRow1 : QueryCode::QueryRow2);
            else if constexpr (std::is_same_v<Reply, protocol::StatusReply>)
                return query == QueryCode::QueryStatus;
            else
                return false;
        },
        reply);
}

bool ReadBackPass::complete() const {
    for (const bool ownReply : answered) {
        if (!ownReply)
            return false;
    }
    return true;
}

ReadBackPass runReadBackPass(DeviceLink& link,
                             ReportLengths lengths,
                             const QueryStepSink& onStep,
                             ReportBuffer::Source source) {
    ReadBackPass pass;
    int number = 0;
    for (const protocol::QueryCode query : protocol::kQueryOrder) {
        QueryStep step{query, ++number, exchangeQuery(link, query, lengths, source)};
        if (step.result.outcome == QueryOutcome::Received) {
            pass.values.record(step.result.reply);
            pass.answered[static_cast<std::size_t>(number - 1)] = answers(step.result.reply, query);
        }
        onStep(step, pass.values);
        if (step.result.outcome == QueryOutcome::SendFailed || step.result.outcome == QueryOutcome::NotReady) {
            pass.stopped = true;
            break;
        }
    }
    return pass;
}

}  // namespace sw::device
