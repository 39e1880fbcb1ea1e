#include "cli/read_command.h"

#include <optional>
#include <string>

#include "cli/cli_app.h"
#include "cli/device_rows.h"
#include "cli/device_session.h"
#include "cli/preset.h"
#include "cli/quoting.h"
#include "cli/settings.h"
#include "device/read_back_pass.h"
#include "protocol/command_codes.h"
#include "protocol/signal_format.h"

namespace sw::cli {

namespace {

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

// The panel's four outcomes of a query, in words, and a reply that answered another query; none when it was
// answered.
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

void printColour(std::ostream& out, const char* label, const std::optional<std::uint8_t>& colour) {
    if (colour)
        out << label << static_cast<int>(*colour) << " " << colourGloss(*colour) << " (" << colourJapaneseName(*colour)
            << ")\n";
}

void printText(std::ostream& out, const device::ReadBackValues& values) {
    const SettingsRequest s = settingsOf(values);
    if (s.h)
        out << "H position:  " << *s.h << "\n";
    if (s.v)
        out << "V position:  " << *s.v << "\n";
    if (s.sizeIndex)
        out << "Size:        x" << *s.sizeIndex + 1 << "\n";
    if (s.halftone)
        out << "Halftone:    " << (*s.halftone ? "on" : "off") << "\n";
    printColour(out, "Colour 1:    ", s.colour1);
    printColour(out, "Colour 2:    ", s.colour2);
    if (values.row1)
        out << "Row 1:       " << printableRow(*values.row1) << "\n";
    if (values.row2)
        out << "Row 2:       " << printableRow(*values.row2) << "\n";
    const ReadFacts facts = factsOf(values);
    if (!facts.osdPattern)
        return;
    out << "OSD pattern: " << *facts.osdPattern << "\n";
    if (!facts.input->resolved) {
        out << "Input:       unknown\n";
        return;
    }
    out << "Input:       " << facts.input->width << "x" << facts.input->height << (facts.input->interlaced ? "i" : "p")
        << "\n";
    if (facts.rangeWarning.value_or(false))
        out << "Warning:     the OSD text may lie outside the picture; check the position.\n";
}

}  // namespace

int runRead(device::DeviceLink& link,
            const device::BoxLocker& locker,
            const ReadOptions& options,
            std::ostream& out,
            std::ostream& err) {
    BoxSession session(link, locker);
    if (const int failed = session.open(options.device, err); failed != kExitOk)
        return failed;

    const auto showStep = [&](const device::QueryStep& step, const device::ReadBackValues&) {
        if (options.progress)
            err << "\rquery " << step.number << " of " << protocol::kQueryOrder.size() << std::flush;
        if (const std::string failure = failureOf(step); !failure.empty()) {
            if (options.progress)
                err << "\n";
            err << kErrorPrefix << "query " << step.number << " of " << protocol::kQueryOrder.size() << " ("
                << queryLabel(step.query) << "): " << failure << "\n";
        }
    };
    const device::ReadBackPass pass = device::runReadBackPass(link, session.lengths(), showStep);
    if (options.progress)
        err << "\r               \r" << std::flush;

    if (!pass.complete()) {
        std::string missing;
        for (std::size_t i = 0; i < pass.answered.size(); ++i) {
            if (!pass.answered[i])
                missing += joined({missing.empty() ? "" : ", ", queryLabel(protocol::kQueryOrder[i])});
        }
        err << kErrorPrefix << "the read is incomplete, nothing is written: no answer of its own to " << missing
            << "\n";
        return kExitDeviceFailure;
    }
    if (options.json)
        out << formatPreset(settingsOf(pass.values), factsOf(pass.values));
    else
        printText(out, pass.values);
    return kExitOk;
}

}  // namespace sw::cli
