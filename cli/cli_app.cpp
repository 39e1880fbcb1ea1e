#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "cli/device_session.h"
#include "cli/preset.h"
#include "cli/read_command.h"
#include "cli/send_command.h"
#include "cli/settings.h"

#ifndef SW_VERSION
#error "SW_VERSION comes from the project version"
#endif

namespace sw::cli {

namespace {

struct SendArguments {
    std::string h, v, size, halftone, colour1, colour2, row1, row2, preset;
};

int runList(device::DeviceLink& link, std::ostream& out, std::ostream& err) {
    const std::vector<std::string> paths = link.FindDevicePaths(kVendorId, kProductId);
    if (paths.empty()) {
        err << "error: the " << kModelName << " was not found\n";
        return kExitDeviceFailure;
    }
    for (const std::string& path : paths) {
        link.Close();
        std::uint16_t input = 0;
        std::uint16_t output = 0;
        if (!link.Open(path)) {
            out << path << "\tcannot be opened: " << openFailureReason(link) << "\n";
            continue;
        }
        if (link.GetReportLengths(&input, &output))
            out << path << "\tinput " << input << "\toutput " << output << "\n";
        else
            out << path << "\treport lengths unknown\n";
        link.Close();
    }
    return kExitOk;
}

bool readFile(const std::string& name, std::string& text) {
    std::ifstream file(name, std::ios::binary);
    if (!file)
        return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Everything is checked before the device is touched: a refused value sends nothing.
std::optional<SettingsRequest> gatherSettings(const SendArguments& a, const CLI::App& send, std::ostream& err) {
    SettingsRequest request;
    std::string error;
    if (send.count("--preset") > 0) {
        std::string text;
        if (!readFile(a.preset, text)) {
            err << "error: cannot read the preset '" << a.preset << "'\n";
            return std::nullopt;
        }
        const auto preset = parsePreset(text, error);
        if (!preset) {
            err << "error: preset '" << a.preset << "': " << error << "\n";
            return std::nullopt;
        }
        request = *preset;
    }

    SettingsRequest given;
    bool ok = true;
    auto take = [&](const char* option, const std::string& text, auto& slot, auto parse) {
        if (!ok || send.count(option) == 0)
            return;
        slot = parse(text, error);
        if (!slot) {
            err << "error: " << option << ": " << error << "\n";
            ok = false;
        }
    };
    take("--h", a.h, given.h, parsePosition);
    take("--v", a.v, given.v, parsePosition);
    take("--size", a.size, given.sizeIndex, parseSize);
    take("--halftone", a.halftone, given.halftone, parseHalftone);
    take("--colour1", a.colour1, given.colour1, parseColour);
    take("--colour2", a.colour2, given.colour2, parseColour);
    if (!ok)
        return std::nullopt;
    if (send.count("--row1") > 0)
        given.row1 = a.row1;
    if (send.count("--row2") > 0)
        given.row2 = a.row2;
    request.overrideWith(given);
    return request;
}

}  // namespace

int runCli(const std::vector<std::string>& args, device::DeviceLink& link, CliStreams streams) {
    CLI::App app("Sets the ZEL-OT40's on-screen text from scripts.", "stampwright-cli");
    app.set_version_flag("--version", SW_VERSION);
    app.require_subcommand(1);

    app.add_subcommand("list", "List the ZEL-OT40 interfaces present, with their report lengths.");

    CLI::App* read = app.add_subcommand("read", "Read every setting, the rows and the input signal.");
    bool json = false;
    read->add_flag("--json", json, "Write the settings as a preset (JSON) instead of text.");

    CLI::App* send = app.add_subcommand("send", "Send the settings given, and only those.");
    SendArguments a;
    send->add_option("--h", a.h, "Horizontal position, 0 to 2047.")->type_name("N");
    send->add_option("--v", a.v, "Vertical position, 0 to 2047.")->type_name("N");
    send->add_option("--size", a.size, "Character size: 1, 2, 3 or 4.")->type_name("1|2|3|4");
    send->add_option("--halftone", a.halftone, "Halftone background: on or off.")->type_name("on|off");
    send->add_option("--colour1,--color1", a.colour1, "Row 1 colour: 0 to 15, or a name (white, red, \xe7\x99\xbd...).")
        ->type_name("C");
    send->add_option("--colour2,--color2", a.colour2, "Row 2 colour: 0 to 15, or a name.")->type_name("C");
    send->add_option("--row1", a.row1, "Row 1 text, at most 16 characters; empty clears the row.");
    send->add_option("--row2", a.row2, "Row 2 text, at most 16 characters; empty clears the row.");
    send->add_option("--preset", a.preset, "A preset written by read --json; the options above override it.")
        ->type_name("FILE");

    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        // --help and --version arrive here too, as successful exits.
        const int code = app.exit(e, streams.out, streams.err);
        return code == 0 ? kExitOk : kExitBadInput;
    }

    if (app.got_subcommand("list"))
        return runList(link, streams.out, streams.err);
    if (app.got_subcommand("read"))
        return runRead(link, {json, streams.errIsTerminal}, streams.out, streams.err);

    const auto request = gatherSettings(a, *send, streams.err);
    if (!request)
        return kExitBadInput;
    if (request->empty()) {
        streams.err << "error: nothing to send: give at least one setting or --preset\n";
        return kExitBadInput;
    }
    std::string error;
    const auto plan = planCommands(*request, error);
    if (!plan) {
        streams.err << "error: " << error << "\n";
        return kExitBadInput;
    }
    return runSend(link, *plan, streams.out, streams.err);
}

}  // namespace sw::cli
