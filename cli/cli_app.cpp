#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

#include "cli/input_file.h"
#include "cli/list_command.h"
#include "cli/preset.h"
#include "cli/quoting.h"
#include "cli/read_command.h"
#include "cli/send_command.h"
#include "cli/serve/serve_command.h"
#include "cli/settings.h"
#include "protocol/product.h"

#ifndef SW_VERSION
#error "SW_VERSION comes from the project version"
#endif

namespace sw::cli {

namespace {

struct SendArguments {
    std::string h, v, size, halftone, colour1, colour2, row1, row2, preset, device;
};

// Everything is checked before the device is touched: a refused value sends nothing.
std::optional<SettingsRequest> gatherSettings(const SendArguments& a, const CLI::App& send, std::ostream& err) {
    SettingsRequest request;
    std::string error;
    if (send.count("--preset") > 0) {
        std::string reason;
        const auto text = readInputFile(a.preset, reason);
        if (!text) {
            err << "error: cannot read the preset " << quotedInput(a.preset) << ": " << reason << "\n";
            return std::nullopt;
        }
        std::vector<std::string> notes;
        const auto preset = parsePreset(*text, error, &notes);
        if (!preset) {
            err << "error: preset " << quotedInput(a.preset) << ": " << error << "\n";
            return std::nullopt;
        }
        for (const std::string& note : notes)
            err << "note: preset " << quotedInput(a.preset) << ": " << note << "\n";
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
        given.row1 = RowRequest{a.row1, {}};
    if (send.count("--row2") > 0)
        given.row2 = RowRequest{a.row2, {}};
    request.overrideWith(given);
    return request;
}

int runCommand(const std::vector<std::string>& args, device::DeviceLink& link, CliStreams streams) {
    CLI::App app("Sets the ZEL-OT40's on-screen text from scripts.", "stampwright-cli");
    app.set_version_flag("--version", SW_VERSION);
    app.require_subcommand(1);

    CLI::App* list = app.add_subcommand("list", "List the ZEL-OT40 interfaces present, with their report lengths.");
    bool listJson = false;
    list->add_flag("--json", listJson, "Write the list as JSON.");

    const std::string devicePathHelp = "The interface to use, as list prints it (default: the first).";
    CLI::App* read = app.add_subcommand("read", "Read every setting, the rows and the input signal.");
    ReadOptions readOptions;
    read->add_flag("--json", readOptions.json, "Write the settings and what was read as a preset (JSON).");
    read->add_option("--device", readOptions.devicePath, devicePathHelp)->type_name("PATH");

    const std::string positionHelp = joined({" position, 0 to ", std::to_string(protocol::kMaxPosition), "."});
    CLI::App* send = app.add_subcommand("send", "Send the settings given, and only those.");
    SendArguments a;
    send->add_option("--h", a.h, joined({"Horizontal", positionHelp}))->type_name("N");
    send->add_option("--v", a.v, joined({"Vertical", positionHelp}))->type_name("N");
    send->add_option("--size", a.size, "Character size: 1, 2, 3 or 4.")->type_name("1|2|3|4");
    send->add_option("--halftone", a.halftone, "Halftone background: on or off.")->type_name("on|off");
    send->add_option("--colour1,--color1", a.colour1, "Row 1 colour: 0 to 15, or a name (white, red, \xe7\x99\xbd...).")
        ->type_name("C");
    send->add_option("--colour2,--color2", a.colour2, "Row 2 colour: 0 to 15, or a name.")->type_name("C");
    send->add_option("--row1", a.row1, "Row 1 text, at most 16 characters; empty clears the row.");
    send->add_option("--row2", a.row2, "Row 2 text, at most 16 characters; empty clears the row.");
    send->add_option("--preset", a.preset, "A preset written by read --json; the options above override it.")
        ->type_name("FILE");
    send->add_option("--device", a.device, devicePathHelp)->type_name("PATH");

    CLI::App* serve =
        app.add_subcommand("serve", "Serve the box to scripts and browsers: an HTTP API and a web panel.");
    ServeOptions serveOptions;
    serve
        ->add_option("--listen", serveOptions.listen,
                     "Address and port (default 127.0.0.1:8040); off loopback a token is required.")
        ->type_name("HOST:PORT");
    serve->add_option("--device", serveOptions.devicePath, devicePathHelp)->type_name("PATH");
    serve
        ->add_option("--token-file", serveOptions.tokenFile,
                     "The token every API request must carry (default: none on loopback, one generated elsewhere).")
        ->type_name("FILE");
    serve
        ->add_option("--allow-host", serveOptions.allowHosts,
                     "Another name the server may be called by in the Host header.")
        ->type_name("NAME");

    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        // --help and --version arrive here too, as successful exits.
        const int code = app.exit(e, streams.out, streams.err);
        return code == 0 ? kExitOk : kExitBadInput;
    }

    if (app.got_subcommand("list"))
        return runList(link, listJson, streams.out, streams.err);
    if (app.got_subcommand("read")) {
        readOptions.progress = streams.errIsTerminal;
        return runRead(link, readOptions, streams.out, streams.err);
    }

    if (app.got_subcommand("serve"))
        return runServe(link, serveOptions, streams.out, streams.err);

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
    return runSend(link, *plan, a.device, streams.out, streams.err);
}

}  // namespace

int runCli(const std::vector<std::string>& args, device::DeviceLink& link, CliStreams streams) {
    const int code = runCommand(args, link, streams);
    // A script that redirects the output into a file must learn that the file did not get it (a full disk).
    streams.out.flush();
    if (!streams.out) {
        streams.err << "error: writing the output failed\n";
        return kExitDeviceFailure;
    }
    return code;
}

}  // namespace sw::cli
