#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
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

// "-" is standard input, as a preset piped from another command.
std::optional<std::string> readPreset(const std::string& name, std::istream* in, std::string& reason) {
    if (name != "-")
        return readInputFile(name, reason);
    if (in == nullptr) {
        reason = "standard input is not available";
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    while (in->read(buffer, sizeof buffer) || in->gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in->gcount()));
        if (bytes.size() > kMaxInputFileBytes) {
            reason = "it is larger than 1 MB";
            return std::nullopt;
        }
    }
    if (in->bad()) {
        reason = "reading standard input failed";
        return std::nullopt;
    }
    return bytes;
}

// Everything is checked before the device is touched: a refused value sends nothing.
std::optional<SettingsRequest> gatherSettings(const SendArguments& a,
                                              const CLI::App& send,
                                              std::istream* in,
                                              std::ostream& err) {
    SettingsRequest request;
    std::string error;
    if (send.count("--preset") > 0) {
        const std::string name = a.preset == "-" ? "(standard input)" : quotedName(a.preset);
        std::string reason;
        const auto text = readPreset(a.preset, in, reason);
        if (!text) {
            err << kErrorPrefix << "cannot read the preset " << name << ": " << reason << "\n";
            return std::nullopt;
        }
        std::vector<std::string> notes;
        const auto preset = parsePreset(*text, error, &notes);
        if (!preset) {
            err << kErrorPrefix << "preset " << name << ": " << error << "\n";
            return std::nullopt;
        }
        for (const std::string& note : notes)
            err << kNotePrefix << "preset " << name << ": " << note << "\n";
        request = *preset;
    }

    SettingsRequest given;
    bool ok = true;
    auto take = [&](const char* option, const std::string& text, auto& slot, auto parse) {
        if (!ok || send.count(option) == 0)
            return;
        slot = parse(text, error);
        if (!slot) {
            err << kErrorPrefix << option << ": " << error << "\n";
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

constexpr std::string_view kCommands[] = {"list", "read", "send", "serve"};

// Edits (insertions, deletions, substitutions) between two words.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The command line's first word must be a command or an option of the program itself.
std::optional<std::string> commandError(const std::vector<std::string>& args) {
    if (args.empty())
        return "a command is required: list, read, send or serve (--help shows them)";
    const std::string& first = args.front();
    if (first == "-h" || first == "--help" || first == "--version")
        return std::nullopt;
    if (!first.empty() && first.front() == '-')
        return joined({"unknown option ", quotedInput(first),
                       ": a command comes first: list, read, send or serve (--help shows them)"});
    if (first == "help")
        return std::string("unknown command 'help': --help shows the commands and their options");
    if (std::find(std::begin(kCommands), std::end(kCommands), first) != std::end(kCommands))
        return std::nullopt;
    std::string_view nearest = kCommands[0];
    for (const std::string_view command : kCommands) {
        if (editDistance(first, command) < editDistance(first, nearest))
            nearest = command;
    }
    return joined({"unknown command ", quotedInput(first), " (the nearest is '", nearest,
                   "'; the commands are list, read, send and serve, and --help shows them)"});
}

// The parser's own findings in the program's words; what it echoes of the input is escaped and cut.
std::string parseErrorText(const CLI::ParseError& e) {
    std::string text = e.what();
    // "--h: At Most 1 required but received 2": an option given twice.
    if (const std::size_t at = text.find(": At Most 1 required but received"); at != std::string::npos)
        return joined({escapedMessage(text.substr(0, at)), " is given more than once"});
    // "--row1: 1 required TEXT missing": an option at the end without its value.
    if (const std::size_t at = text.find(": 1 required "); at != std::string::npos && text.ends_with(" missing"))
        return joined({escapedMessage(text.substr(0, at)), " needs a value"});
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return joined({escapedMessage(text), " (--help shows the options)"});
}

// Arguments the command does not take, in the order given; `-h` beside `--h` is the horizontal position mistyped.
std::optional<std::string> extrasError(const CLI::App& command) {
    const std::vector<std::string> extras = command.remaining();
    if (extras.empty())
        return std::nullopt;
    std::string text = joined({command.get_name(), " does not take ", quotedInput(extras.front())});
    if (command.get_name() == "send" && extras.front() == "-h")
        text += " (the horizontal position is --h; --help shows the options)";
    else
        text += " (--help shows the options)";
    return text;
}

int runCommand(const std::vector<std::string>& args,
               device::DeviceLink& link,
               CliStreams streams,
               const device::BoxLocker& locker) {
    if (const auto error = commandError(args)) {
        streams.err << kErrorPrefix << *error << "\n";
        return kExitBadInput;
    }
    CLI::App app("Sets the ZEL-OT40's on-screen text from scripts.", "stampwright-cli");
    app.set_version_flag("--version", SW_VERSION);
    app.require_subcommand(1, 1);

    CLI::App* list = app.add_subcommand("list",
                                        "List the ZEL-OT40s present: interface path, USB port, serial number and "
                                        "report lengths.");
    bool listJson = false;
    list->add_flag("--json", listJson, "Write the list as JSON.");

    const std::string deviceHelp =
        "The box to use: its interface path, USB port or serial number, as list prints them (default: the first).";
    CLI::App* read = app.add_subcommand("read", "Read every setting, the rows and the input signal.");
    ReadOptions readOptions;
    read->add_flag("--json", readOptions.json, "Write the settings and what was read as a preset (JSON).");
    read->add_option("--device", readOptions.device, deviceHelp)->type_name("PATH|PORT|SERIAL");

    const std::string positionHelp = joined({" position, 0 to ", std::to_string(protocol::kMaxPosition), "."});
    CLI::App* send = app.add_subcommand("send", "Send the settings given, and only those.");
    // -h would be taken for help beside --h, and a send that prints help sends nothing.
    send->set_help_flag("--help", "Print this help message and exit");
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
    send->add_option("--preset", a.preset,
                     "A preset written by read --json (- reads it from standard input); the options above override it.")
        ->type_name("FILE");
    send->add_option("--device", a.device, deviceHelp)->type_name("PATH|PORT|SERIAL");

    CLI::App* serve =
        app.add_subcommand("serve", "Serve the box to scripts and browsers: an HTTP API and a web panel.");
    ServeOptions serveOptions;
    serve
        ->add_option("--listen", serveOptions.listen,
                     "Address and port (default 127.0.0.1:8040); off loopback a token is required.")
        ->type_name("HOST:PORT");
    serve->add_option("--device", serveOptions.device, deviceHelp)->type_name("PATH|PORT|SERIAL");
    serve
        ->add_option("--token-file", serveOptions.tokenFile,
                     "The token every API request must carry (default: none on loopback, one generated elsewhere).")
        ->type_name("FILE");
    serve
        ->add_option("--allow-host", serveOptions.allowHosts,
                     "Another name the server may be called by in the Host header.")
        ->type_name("NAME");

    for (CLI::App* command : {list, read, send, serve})
        command->allow_extras();

    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, streams.out, streams.err) == 0 ? kExitOk : kExitBadInput;
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e, streams.out, streams.err) == 0 ? kExitOk : kExitBadInput;
    } catch (const CLI::ParseError& e) {
        streams.err << kErrorPrefix << parseErrorText(e) << "\n";
        return kExitBadInput;
    }
    for (const CLI::App* command : {list, read, send, serve}) {
        if (const auto error = extrasError(*command)) {
            streams.err << kErrorPrefix << *error << "\n";
            return kExitBadInput;
        }
    }
    // An unset variable in a script ("--device $BOX") must not send to whichever box comes first.
    for (const auto& [command, device] : {std::pair<const CLI::App*, const std::string*>{read, &readOptions.device},
                                          {send, &a.device},
                                          {serve, &serveOptions.device}}) {
        if (command->count("--device") > 0 && device->empty()) {
            streams.err << kErrorPrefix
                        << "--device is empty: give a path, USB port or serial number as list prints "
                           "them, or leave --device out for the first box\n";
            return kExitBadInput;
        }
    }

    if (app.got_subcommand("list"))
        return runList(link, listJson, streams.out, streams.err);
    if (app.got_subcommand("read")) {
        readOptions.progress = streams.errIsTerminal;
        return runRead(link, locker, readOptions, streams.out, streams.err);
    }

    if (app.got_subcommand("serve"))
        return runServe(link, locker, serveOptions, streams.out, streams.err);

    const auto request = gatherSettings(a, *send, streams.in, streams.err);
    if (!request)
        return kExitBadInput;
    if (request->empty()) {
        if (send->count("--preset") > 0)
            streams.err << kErrorPrefix << "nothing to send: the preset "
                        << (a.preset == "-" ? std::string("(standard input)") : quotedName(a.preset))
                        << " holds no setting, and no setting is given beside it\n";
        else
            streams.err << kErrorPrefix << "nothing to send: give at least one setting or --preset\n";
        return kExitBadInput;
    }
    std::string error;
    const auto plan = planCommands(*request, error);
    if (!plan) {
        streams.err << kErrorPrefix << error << "\n";
        return kExitBadInput;
    }
    return runSend(link, locker, *plan, a.device, streams.out, streams.err);
}

}  // namespace

int runCli(const std::vector<std::string>& args,
           device::DeviceLink& link,
           CliStreams streams,
           const device::BoxLocker& locker) {
    const int code = runCommand(args, link, streams, locker);
    // A script that redirects the output into a file must learn that the file did not get it (a full disk).
    streams.out.flush();
    if (!streams.out) {
        streams.err << kErrorPrefix << "writing the output failed\n";
        return kExitDeviceFailure;
    }
    return code;
}

}  // namespace sw::cli
