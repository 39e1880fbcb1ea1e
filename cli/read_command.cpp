#include "cli/read_command.h"

#include <optional>
#include <string>
#include <variant>

#include "cli/cp932_text.h"
#include "cli/device_session.h"
#include "cli/preset.h"
#include "cli/settings.h"
#include "device/query_exchange.h"
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

// What one pass collected, as the panel's pass keeps it.
struct ReadResult {
    SettingsRequest settings;
    std::optional<int> row1Cells;
    std::optional<int> row2Cells;
    std::optional<protocol::StatusReply> status;
    std::optional<protocol::LayoutReply> layout;
};

class Collector {
public:
    explicit Collector(ReadResult& result) : result_(result) {}

    bool operator()(const protocol::UnrecognisedReply&) { return false; }
    bool operator()(const protocol::LayoutReply& layout) {
        result_.layout = layout;
        result_.settings.h = layout.hPosition;
        result_.settings.v = layout.vPosition;
        result_.settings.sizeIndex = layout.sizeIndex;
        result_.settings.halftone = layout.halftone;
        return true;
    }
    bool operator()(const protocol::ColourReply& colour) {
        (colour.colour == 1 ? result_.settings.colour1 : result_.settings.colour2) = colour.colourIndex;
        return true;
    }
    bool operator()(const protocol::RowReply& row) {
        (row.row == 1 ? result_.settings.row1 : result_.settings.row2) = cp932ToUtf8(row.text);
        (row.row == 1 ? result_.row1Cells : result_.row2Cells) = row.cellCount;
        return true;
    }
    bool operator()(const protocol::StatusReply& status) {
        result_.status = status;
        return true;
    }

private:
    ReadResult& result_;
};

void printColour(std::ostream& out, const char* label, const std::optional<std::uint8_t>& colour) {
    if (colour)
        out << label << static_cast<int>(*colour) << " " << colourGloss(*colour) << " (" << colourJapaneseName(*colour)
            << ")\n";
}

void printText(std::ostream& out, const ReadResult& result) {
    const SettingsRequest& s = result.settings;
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
    if (s.row1)
        out << "Row 1:       " << *s.row1 << "\n";
    if (s.row2)
        out << "Row 2:       " << *s.row2 << "\n";
    if (!result.status)
        return;
    out << "OSD pattern: " << result.status->osdPattern << "\n";
    const protocol::SignalFormat format = protocol::resolveSignalFormat(*result.status);
    if (!format.resolved) {
        out << "Input:       unknown\n";
        return;
    }
    out << "Input:       " << format.width << "x" << format.height << (format.interlaced ? "i" : "p") << "\n";
    // As the panel: the range check needs the layout and both rows of the same pass.
    if (result.layout && result.row1Cells && result.row2Cells) {
        const protocol::TextBlock block{result.layout->hPosition, result.layout->vPosition, result.layout->sizeIndex,
                                        *result.row1Cells, *result.row2Cells};
        if (protocol::checkTextRange(format, block))
            out << "Warning:     the OSD text may lie outside the picture; check the position.\n";
    }
}

}  // namespace

int runRead(device::DeviceLink& link, const ReadOptions& options, std::ostream& out, std::ostream& err) {
    std::string path;
    device::ReportLengths lengths;
    if (!connectDevice(link, err, path, lengths))
        return 1;
    OpenDevice device(link, lengths);

    ReadResult result;
    Collector collect(result);
    bool complete = true;
    int k = 0;
    for (protocol::QueryCode query : protocol::kQueryOrder) {
        ++k;
        if (options.progress)
            err << "\rquery " << k << " of " << protocol::kQueryOrder.size() << std::flush;
        const device::QueryResult reply = device::exchangeQuery(link, query, lengths);
        const char* failure = nullptr;
        bool stop = false;
        switch (reply.outcome) {
            case device::QueryOutcome::SendFailed:
                failure = "sending the receive command failed; reconnect the device";
                stop = true;
                break;
            case device::QueryOutcome::NotReady:
                failure = "reception failed (no reply waiting); reconnect the device";
                stop = true;
                break;
            case device::QueryOutcome::ReceiveFailed:
                failure = "reception failed";
                break;
            case device::QueryOutcome::Received:
                if (!std::visit(collect, reply.reply))
                    failure = "reception failed (unrecognised reply); read again";
                break;
        }
        if (failure != nullptr) {
            if (options.progress)
                err << "\n";
            err << "error: query " << k << " of 6 (" << queryLabel(query) << "): " << failure << "\n";
            complete = false;
            if (stop)
                break;
        }
    }
    if (options.progress)
        err << "\r               \r" << std::flush;

    if (options.json)
        out << formatPreset(result.settings);
    else
        printText(out, result);
    return complete ? 0 : 1;
}

}  // namespace sw::cli
