// The command line against the simulated device: what each input puts on the wire, and the exit codes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/quoting.h"
#include "tests/cli/cli_bench.h"

namespace sw::test {
namespace {

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::vector<std::string> wire;  // what the device received, "code:payload" in order
    std::string errContains;        // "" when nothing in particular
};

class CliOptionTest : public ::testing::TestWithParam<OptionCase>, public CliBench {};

TEST_P(CliOptionTest, ExitCodeAndWire) {
    const OptionCase& c = GetParam();
    const CliRun result = run(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_EQ(wireCommands(), c.wire);
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
    EXPECT_LT(result.err.size(), 400u) << "input echoed in a message is shortened";
    if (c.exitCode != 0) {
        EXPECT_EQ(result.err.rfind(cli::kErrorPrefix, 0), 0u) << "one voice: " << result.err;
    }
    if (c.exitCode == 2) {
        EXPECT_EQ(link.openCount(), 0) << "bad input must not even open the device";
    }
}

const std::string k17 = "ABCDEFGHIJKLMNOPQ";
const std::string kLong(100000, 'x');

const OptionCase kOptionCases[] = {
    {"HOnly", {"send", "--h", "100"}, 0, {"20:0064"}, ""},
    {"HAtLimit", {"send", "--h", "2047"}, 0, {"20:07FF"}, ""},
    {"HAboveLimit", {"send", "--h", "2048"}, 2, {}, "above 2047"},
    {"HNotNumber", {"send", "--h", "12a"}, 2, {}, "not a number"},
    {"VHex", {"send", "--v", "0x10"}, 2, {}, "not a number"},
    {"SizeFour", {"send", "--size", "4"}, 0, {"22:03"}, ""},
    {"SizeFive", {"send", "--size", "5"}, 2, {}, "size"},
    {"HalftoneOn", {"send", "--halftone", "on"}, 0, {"23:01"}, ""},
    {"HalftoneBad", {"send", "--halftone", "yes"}, 2, {}, "halftone"},
    {"ColourIndex", {"send", "--colour1", "15"}, 0, {"24:" + sixteen("0F")}, ""},
    {"ColourEnglish", {"send", "--colour2", "Fuchsia"}, 0, {"25:" + sixteen("0D")}, ""},
    {"ColourGray", {"send", "--color1", "gray"}, 0, {"24:" + sixteen("08")}, ""},
    {"ColourJapanese", {"send", "--colour1", utf8(u8"青緑")}, 0, {"24:" + sixteen("03")}, ""},
    {"ColourSixteen", {"send", "--colour1", "16"}, 2, {}, "unknown colour"},
    {"ColourUnknown", {"send", "--colour2", "pink"}, 2, {}, "unknown colour 'pink'"},
    {"ColourLongAndControls", {"send", "--colour2", "\x1B[2J" + kLong}, 2, {}, "'\\x1B[2Jxxxx"},
    {"RowEmptyClears", {"send", "--row2", ""}, 0, {"29:"}, ""},
    {"RowSixteenCells",
     {"send", "--row1", k17.substr(0, 16)},
     0,
     {"28:8260826182628263826482658266826782688269826A826B826C826D826E826F"},
     ""},
    {"RowSeventeenCells", {"send", "--row1", k17}, 2, {}, "16 cells"},
    {"RowVoicedPairIsOneCell", {"send", "--row2", utf8(u8"ｶﾞ")}, 0, {"29:834B"}, ""},
    // Text from Macs, the web and Linux: the JIS-style wave dash and a decomposed ガ are the device's own characters.
    {"RowJisStyleForms", {"send", "--row1", utf8(u8"1〜2カ\u3099")}, 0, {"28:825081608251834B"}, ""},
    {"RowUnmappable", {"send", "--row1", utf8(u8"Aé")}, 2, {}, utf8(u8"'é' (U+00E9) has no code page 932 form")},
    {"RowEmoji", {"send", "--row2", utf8(u8"\U0001F600")}, 2, {}, "code page 932"},
    // What the row encoding would blank or drop is refused by name, and nothing goes out.
    {"RowExtensionCharacter",
     {"send", "--h", "1", "--row1", utf8(u8"髙橋")},
     2,
     {},
     utf8(u8"'髙' (U+9AD9) is in code page 932's extension area")},
    {"RowTab", {"send", "--row1", "A\tB"}, 2, {}, "U+0009 is a control character"},
    {"RowNul", {"send", "--row2", std::string("A\0B", 3)}, 2, {}, "U+0000 is a control character"},
    {"RowNotUtf8", {"send", "--row2", "A\xFF"}, 2, {}, "'A\\xFF' is not valid UTF-8"},
    {"PanelOrder",
     {"send", "--row2", "X", "--colour2", "red", "--h", "1", "--halftone", "off", "--v", "2"},
     0,
     {"20:0001", "21:0002", "23:", "25:" + sixteen("0C"), "29:8277"},
     ""},
    {"BadValueAmongGood", {"send", "--h", "100", "--row1", "OK", "--size", "9"}, 2, {}, "size"},
    {"NothingToSend", {"send"}, 2, {}, "nothing to send"},
    {"UnknownOption", {"send", "--bogus", "1"}, 2, {}, "send does not take '--bogus'"},
    {"UnexpectedArgumentsFirstFirst", {"send", "--h", "1", "a", "b"}, 2, {}, "send does not take 'a'"},
    {"ParserEchoEscapedAndCut", {"read", "--json=\x1B[2J" + kLong}, 2, {}, "\\x1B[2Jxxx"},
    {"OptionTwice", {"send", "--h", "1", "--h", "2"}, 2, {}, "--h is given more than once"},
    {"OptionWithoutValue", {"send", "--row1"}, 2, {}, "--row1 needs a value"},
    {"OptionBeforeCommand", {"--bogus", "read"}, 2, {}, "unknown option '--bogus': a command comes first"},
    // -h beside --h: a send that printed the help would send nothing and exit 0.
    {"DashHIsNoHelpInSend", {"send", "-h", "100", "--row1", "LIVE"}, 2, {}, "the horizontal position is --h"},
    {"DashHIsHelpElsewhere", {"read", "-h"}, 0, {}, ""},
    {"NoCommand", {}, 2, {}, "a command is required: list, read, send or serve"},
    {"UnknownCommandNearest", {"snd", "--h", "1"}, 2, {}, "unknown command 'snd' (the nearest is 'send'"},
    {"UnknownCommandFrob", {"frob"}, 2, {}, "unknown command 'frob' (the nearest is"},
    {"HelpIsNoCommand", {"help"}, 2, {}, "unknown command 'help': --help shows the commands"},
    {"TwoCommands", {"read", "list"}, 2, {}, "read does not take 'list'"},
    // An unset variable in a script must not pick the first box.
    {"DeviceEmpty", {"send", "--h", "5", "--device", ""}, 2, {}, "--device is empty"},
    {"DeviceEmptyRead", {"read", "--device", ""}, 2, {}, "--device is empty"},
    {"DeviceEmptyServe", {"serve", "--device", ""}, 2, {}, "--device is empty"},
    {"MissingPreset", {"send", "--preset", "/nonexistent/preset.json"}, 2, {}, "No such file"},
    {"PresetNameWhole",
     {"send", "--preset", "/nonexistent/" + std::string(60, 'd') + "/job.json"},
     2,
     {},
     std::string(60, 'd') + "/job.json': No such file"},
    {"PresetEmptyStdin",
     {"send", "--preset", "-"},
     2,
     {},
     "preset (standard input): not valid JSON at line 1, column 1"},
    {"PresetIsAFolder", {"send", "--preset", "/tmp"}, 2, {}, "cannot read the preset '/tmp': it is a folder"},
    {"DeviceGiven", {"send", "--h", "5", "--device", sim::kDefaultInterfacePath}, 0, {"20:0005"}, ""},
    {"DeviceAbsent",
     {"read", "--device", "/dev/hidraw9"},
     2,
     {},
     "--device '/dev/hidraw9' is no ZEL-OT40 that is present"},
    {"Help", {"--help"}, 0, {}, ""},
    {"ServeListenWithoutPort", {"serve", "--listen", "127.0.0.1"}, 2, {}, "HOST:PORT is expected"},
    {"ServeListenPortTooHigh", {"serve", "--listen", "127.0.0.1:65536"}, 2, {}, "HOST:PORT is expected"},
    {"ServeListenIpv6WithoutBrackets", {"serve", "--listen", "::1:8040"}, 2, {}, "HOST:PORT is expected"},
    {"ServeTokenFileMissing",
     {"serve", "--token-file", "/nonexistent/token"},
     2,
     {},
     "cannot read the token file '/nonexistent/token'"},
    {"ServeTokenFileTooShort", {"serve", "--token-file", "/dev/null"}, 2, {}, "16 to 256 visible ASCII characters"},
};

INSTANTIATE_TEST_SUITE_P(Options, CliOptionTest, ::testing::ValuesIn(kOptionCases), [](const auto& info) {
    return std::string(info.param.name);
});

TEST(CliList, PrintsEachInterfaceWithItsReportLengths) {
    CliBench bench;
    bench.model.setReportLengths(64, 65);
    bench.link.setInterfaces({{sim::kDefaultInterfacePath, false}, {"hid#vid_3c9b&pid_5d17#second", false}});
    const CliRun text = bench.run({"list"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out, std::string(sim::kDefaultInterfacePath) +
                            "\tinput 64\toutput 65\nhid#vid_3c9b&pid_5d17#second\tinput 64\toutput 65\n");
    const CliRun json = bench.run({"list", "--json"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_NE(json.out.find("\"path\": \"hid#vid_3c9b&pid_5d17#second\",\n    \"port\": null,\n    \"serial\": null,\n"
                            "    \"input\": 64,\n    \"output\": 65"),
              std::string::npos)
        << json.out;
    EXPECT_TRUE(bench.model.wireLog().empty());
    EXPECT_FALSE(bench.link.IsOpen());
}

// Two boxes: the port and the serial number each name one, in the list and to --device.
struct BoxNameCase {
    const char* name;
    std::string device;
    int exitCode;
    std::string openPath;  // the interface the send went to
};

class CliBoxNames : public ::testing::TestWithParam<BoxNameCase>, public CliBench {};

TEST_P(CliBoxNames, ListShowsThemAndDeviceTakesThem) {
    link.setInterfaces({{"hid#vid_3c9b&pid_5d17#first", false}, {"hid#vid_3c9b&pid_5d17#second", false}});
    link.setBoxNames("hid#vid_3c9b&pid_5d17#first", "usb-0000:00:14.0-1", "OT40-0001");
    link.setBoxNames("hid#vid_3c9b&pid_5d17#second", "usb-0000:00:14.0-2", "");
    const CliRun list = run({"list"});
    EXPECT_NE(list.out.find("#first\tinput 65\toutput 65\tport usb-0000:00:14.0-1\tserial OT40-0001\n"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("#second\tinput 65\toutput 65\tport usb-0000:00:14.0-2\n"), std::string::npos) << list.out;
    EXPECT_NE(run({"list", "--json"}).out.find("\"port\": \"usb-0000:00:14.0-1\",\n    \"serial\": \"OT40-0001\""),
              std::string::npos);

    const CliRun send = run({"send", "--h", "3", "--device", GetParam().device});
    EXPECT_EQ(send.exitCode, GetParam().exitCode) << send.err;
    EXPECT_EQ(boxLock.lockedPaths.empty() ? "" : boxLock.lockedPaths.back(), GetParam().openPath);
}

INSTANTIATE_TEST_SUITE_P(Names,
                         CliBoxNames,
                         ::testing::Values(BoxNameCase{"Path", "hid#vid_3c9b&pid_5d17#second", 0,
                                                       "hid#vid_3c9b&pid_5d17#second"},
                                           BoxNameCase{"Port", "usb-0000:00:14.0-2", 0, "hid#vid_3c9b&pid_5d17#second"},
                                           BoxNameCase{"Serial", "OT40-0001", 0, "hid#vid_3c9b&pid_5d17#first"},
                                           BoxNameCase{"NoSuchSerial", "OT40-0002", 2, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// Another program talks to the box: the command waits its bounded time, then gives up without touching the box.
TEST(CliBoxLock, ABusyBoxIsExitOneNamingWhoHasIt) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"read", "--json"}, {"send", "--h", "1"}}) {
        CliBench bench;
        bench.boxLock.holder = "stampwright.exe (process 4711)";
        const CliRun result = bench.run(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, std::string(cli::kErrorPrefix) +
                                  "the box is busy: stampwright.exe (process 4711) is talking to it (waited 10 s for "
                                  "it); try again later\n");
        EXPECT_EQ(bench.link.openCount(), 0) << "a busy box is not even opened";
        EXPECT_EQ(bench.clock.now(), 10000);
    }
}

TEST(CliBoxLock, EachConversationHoldsTheBoxLock) {
    CliBench bench;
    ASSERT_EQ(bench.run({"read"}).exitCode, 0);
    ASSERT_EQ(bench.run({"send", "--row1", "A"}).exitCode, 0);
    EXPECT_EQ(bench.boxLock.lockedPaths,
              (std::vector<std::string>{sim::kDefaultInterfacePath, sim::kDefaultInterfacePath}));
    EXPECT_EQ(bench.boxLock.releasedWithBoxOpen, (std::vector<bool>{false, false})) << "closed before it is let go";
    EXPECT_EQ(bench.run({"list"}).exitCode, 0);
    EXPECT_EQ(bench.boxLock.lockedPaths.size(), 2u) << "list holds no conversation";
}

TEST(CliPreset, DashReadsStandardInput) {
    CliBench bench;
    bench.stdinText = R"({"version": 1, "h": 7, "row2": "B"})";
    const CliRun result = bench.run({"send", "--preset", "-", "--v", "8"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(bench.wireCommands(), (std::vector<std::string>{"20:0007", "21:0008", "29:8261"}));
}

// A script that sends the output into a file must learn that the file did not get it (a full disk).
TEST(CliOutput, AFailedWriteIsExitOneWithAMessage) {
    CliBench bench;
    std::ostringstream out;
    std::ostringstream err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(cli::runCli({"read", "--json"}, bench.link, {out, err, false}), 1);
    EXPECT_NE(err.str().find("writing the output failed"), std::string::npos) << err.str();
}

TEST(CliVersion, PrintsTheProjectVersion) {
    CliBench bench;
    const CliRun result = bench.run({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "1.0.0\n");
}

// One command, exactly as the panel builds it: report ID 0, the code, the cells, zeros to the end.
TEST(CliSend, Row1AloneIsOneCommandWithTheEncodedCells) {
    CliBench bench;
    const CliRun result = bench.run({"send", "--row1", "ABC"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(bench.model.wireLog().size(), 1u);
    std::vector<std::uint8_t> expected(65, 0);
    expected[1] = 0x28;
    const std::uint8_t cells[] = {0x82, 0x60, 0x82, 0x61, 0x82, 0x62};
    std::copy(std::begin(cells), std::end(cells), expected.begin() + 2);
    EXPECT_EQ(bench.model.wireLog()[0].bytes, expected);
    EXPECT_EQ(bench.link.closeCount(), 1);
}

struct FaultCase {
    const char* name;
    std::vector<std::string> args;
    void (*fault)(sim::Faults&);
    std::vector<int> wire;
    std::string errContains;
};

class CliFaultTest : public ::testing::TestWithParam<FaultCase>, public CliBench {};

TEST_P(CliFaultTest, DeviceFailureIsExitOneWithTheStep) {
    const FaultCase& c = GetParam();
    setFault(c.fault);
    const CliRun result = run(c.args);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(wireCodes(), c.wire);
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
}

const FaultCase kFaultCases[] = {
    {"LateReply",
     {"read"},
     [](sim::Faults& f) { f.answerLate = true; },
     {0x30},
     "query 1 of 6 (layout): reception failed (no reply waiting)"},
    // A read that fails after it was accepted costs that query only: the pass goes on with the next.
    {"FailedReadGoesOn",
     {"read"},
     [](sim::Faults& f) { f.failNextRead = true; },
     {0x30, 0x34, 0x35, 0x38, 0x39, 0x3F},
     "query 1 of 6 (layout): reception failed\n"},
    {"UnrecognisedEcho",
     {"read"},
     [](sim::Faults& f) { f.echoCode = 0x77; },
     {0x30, 0x34, 0x35, 0x38, 0x39, 0x3F},
     "query 6 of 6 (status): reception failed (unrecognised reply)"},
    {"ListUnplugged", {"list"}, [](sim::Faults& f) { f.unplugAfter = 0; }, {}, "was not found"},
    {"UnpluggedBeforeRead", {"read"}, [](sim::Faults& f) { f.unplugAfter = 0; }, {}, "was not found"},
    {"UnpluggedDuringRead",
     {"read"},
     [](sim::Faults& f) { f.unplugAfter = 2; },
     {0x30, 0x34},
     "query 2 of 6 (colour 1): reception failed (no reply waiting); reconnect"},
    {"UnpluggedDuringSend",
     {"send", "--h", "1", "--v", "2", "--size", "3"},
     [](sim::Faults& f) { f.unplugAfter = 2; },
     {0x20, 0x21},
     "sending size (command 3 of 3) failed: the box may hold the 2 sent before it; check it"},
    {"StalledFirstWrite",
     {"send", "--row1", "A"},
     [](sim::Faults& f) { f.stallFrom = 1; },
     {},
     "sending row 1 (command 1 of 1) failed: nothing was sent; reconnect"},
};

INSTANTIATE_TEST_SUITE_P(Faults, CliFaultTest, ::testing::ValuesIn(kFaultCases), [](const auto& info) {
    return std::string(info.param.name);
});

}  // namespace
}  // namespace sw::test
