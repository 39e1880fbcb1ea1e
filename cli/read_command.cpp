#include "cli/read_command.h"

#include <optional>
#include <string>

#include "cli/cli_app.h"
#include "cli/device_rows.h"
#include "cli/device_session.h"
#include "cli/preset.h"
#include "cli/quoting.h"
#include "cli/read_back_result.h"
#include "cli/settings.h"
#include "device/read_back_pass.h"
#include "protocol/command_codes.h"
#include "protocol/signal_format.h"

namespace sw::cli {

namespace {

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
