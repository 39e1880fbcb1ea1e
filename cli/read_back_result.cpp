#include "cli/read_back_result.h"

#include <variant>

#include "cli/quoting.h"

#include "protocol/signal_format.h"

namespace sw::cli {

const char* queryLabel(protocol::QueryCode query) {
    switch (query) {
        case protocol::QueryCode::QueryLayout:
            return "layout";
        case protocol::QueryCode::QueryColor1:
            return "colour 1";
        case protocol::QueryCode::QueryColor2:
            return "colour 2";
        case protocol::QueryCode::QueryRow1:
            return "row 1";
        case protocol::QueryCode::QueryRow2:
            return "row 2";
        case protocol::QueryCode::QueryStatus:
            return "status";
    }
    return "query";
}

std::string failureOf(const device::QueryStep& step) {
    const device::QueryResult& result = step.result;
    switch (result.outcome) {
        case device::QueryOutcome::SendFailed:
            return "sending the receive command failed; reconnect the device";
        case device::QueryOutcome::NotReady:
            return "reception failed (no reply waiting); reconnect the device";
        case device::QueryOutcome::ReceiveFailed:
            return "reception failed";
        case device::QueryOutcome::Received:
            break;
    }
    if (std::holds_alternative<protocol::UnrecognisedReply>(result.reply))
        return "reception failed (unrecognised reply); read again";
    for (const protocol::QueryCode other : protocol::kQueryOrder) {
        if (other != step.query && device::answers(result.reply, other))
            return joined({"the reply was the one to the ", queryLabel(other), " query; read again"});
    }
    return {};
}

SettingsRequest settingsOf(const device::ReadBackValues& values) {
    SettingsRequest settings;
    if (values.layout) {
        settings.h = values.layout->hPosition;
        settings.v = values.layout->vPosition;
        settings.sizeIndex = values.layout->sizeIndex;
        settings.halftone = values.layout->halftone;
    }
    settings.colour1 = values.colour1;
    settings.colour2 = values.colour2;
    if (values.row1)
        settings.row1 = rowFromReply(*values.row1);
    if (values.row2)
        settings.row2 = rowFromReply(*values.row2);
    return settings;
}

ReadFacts factsOf(const device::ReadBackValues& values) {
    ReadFacts facts;
    if (!values.status)
        return facts;
    facts.osdPattern = values.status->osdPattern;
    facts.input = protocol::resolveSignalFormat(*values.status);
    // As the panel: the range check needs the layout and both rows of the same pass.
    if (facts.input->resolved && values.statusBlock)
        facts.rangeWarning = protocol::checkTextRange(*facts.input, *values.statusBlock);
    return facts;
}

}  // namespace sw::cli
