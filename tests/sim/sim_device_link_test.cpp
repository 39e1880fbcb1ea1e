#include "sim/sim_device_link.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/sim/sim_test_support.h"

namespace sw::sim {
namespace {

using device::ReadOutcome;
using device::WriteOutcome;
using test::bytesWith;
using test::command;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kVid = 0x3C9B;
constexpr std::uint16_t kPid = 0x5D17;

class SimLink : public ::testing::Test {
protected:
    void openDefault() {
        std::string path;
        ASSERT_TRUE(link.FindDevicePath(kVid, kPid, path));
        ASSERT_TRUE(link.Open(path));
    }
    // One query as the panel makes it: write, pause, read.
    ReadOutcome query(std::uint8_t code, Bytes& reply) {
        Bytes report = command(code);
        EXPECT_EQ(link.WriteReport(report, device::kQueryWriteWaitMs, true), WriteOutcome::Sent);
        link.PauseForReply();
        reply.assign(65, 0xAA);
        return link.ReadReport(reply);
    }
    void setFaults(auto change) {
        Faults f = model.faults();
        change(f);
        model.setFaults(f);
    }

    VirtualClock clock;
    Ot40Model model;
    SimDeviceLink link{clock, model};
};

// --- discovery ---

struct FindCase {
    std::string name;
    std::vector<SimInterface> interfaces;
    std::uint16_t vid;
    std::uint16_t pid;
    std::string expected;  // empty: not found
};
void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

class SimLinkFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(SimLinkFind, TakesTheFirstPathHoldingTheLowerCasePattern) {
    const FindCase& c = GetParam();
    VirtualClock clock;
    Ot40Model model;
    SimDeviceLink link(clock, model);
    link.setInterfaces(c.interfaces);
    std::string path = "left over";

    EXPECT_EQ(link.FindDevicePath(c.vid, c.pid, path), !c.expected.empty());
    EXPECT_EQ(path, c.expected);
}

const std::string kKeyboard = "\\\\?\\hid#vid_046d&pid_c31c&mi_00#8&2f1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const std::string kFirst = "\\\\?\\hid#vid_3c9b&pid_5d17#1&aa&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const std::string kSecond = "\\\\?\\hid#vid_3c9b&pid_5d17&mi_01#2&bb&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const std::string kUpper = "\\\\?\\HID#VID_3C9B&PID_5D17#3&cc&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

INSTANTIATE_TEST_SUITE_P(
    Discovery,
    SimLinkFind,
    ::testing::Values(FindCase{"DefaultInterface", {{kDefaultInterfacePath}}, kVid, kPid, kDefaultInterfacePath},
                      FindCase{"FirstOfTwoMatchesWins", {{kKeyboard}, {kFirst}, {kSecond}}, kVid, kPid, kFirst},
                      FindCase{"FurtherSegmentsStillMatch", {{kKeyboard}, {kSecond}}, kVid, kPid, kSecond},
                      FindCase{"UpperCaseHexDoesNotMatch", {{kUpper}}, kVid, kPid, ""},
                      FindCase{"FailedDetailIsSkipped", {{kFirst, true}, {kSecond}}, kVid, kPid, kSecond},
                      FindCase{"OnlyAFailedDetailIsNotFound", {{kFirst, true}}, kVid, kPid, ""},
                      FindCase{"OtherProductIsNotFound", {{kFirst}}, kVid, 0x5D18, ""},
                      FindCase{"NoInterfaces", {}, kVid, kPid, ""},
                      FindCase{"OtherDeviceIsFoundByItsOwnIds", {{kFirst}, {kKeyboard}}, 0x046D, 0xC31C, kKeyboard}),
    [](const auto& info) { return info.param.name; });

TEST_F(SimLink, AnUnpluggedDeviceIsNeitherFoundNorOpened) {
    setFaults([](Faults& f) { f.unplugAfter = 0; });
    std::string path = "x";
    EXPECT_FALSE(link.FindDevicePath(kVid, kPid, path));
    EXPECT_EQ(path, "");
    EXPECT_FALSE(link.Open(kDefaultInterfacePath));
    EXPECT_FALSE(link.IsOpen());
}

// --- session ---

TEST_F(SimLink, OpensOnlyAPresentPath) {
    EXPECT_FALSE(link.Open(kFirst));
    EXPECT_TRUE(link.Open(kDefaultInterfacePath));
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(link.openPath(), kDefaultInterfacePath);
}

TEST_F(SimLink, ConfiguredOpenFailureRefusesAPresentPath) {
    link.setOpenFails(true);
    EXPECT_FALSE(link.Open(kDefaultInterfacePath));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.openCount(), 0);
}

TEST_F(SimLink, CountsOpensAndClosesAndClosesOnlyWhatIsOpen) {
    link.Close();
    EXPECT_EQ(link.closeCount(), 0);
    openDefault();
    openDefault();  // a second open closes the first handle
    link.Close();
    link.Close();
    EXPECT_EQ(link.openCount(), 2);
    EXPECT_EQ(link.closeCount(), 2);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(SimLink, ANewHandleDoesNotSeeRepliesQueuedForTheOldOne) {
    openDefault();
    Bytes report = command(0x30);
    link.WriteReport(report, device::kQueryWriteWaitMs, true);
    link.Close();
    openDefault();
    link.PauseForReply();
    Bytes reply(65);
    EXPECT_EQ(link.ReadReport(reply), ReadOutcome::NotReady);
}

struct LengthsCase {
    std::string name;
    bool open;
    bool capabilitiesFail;
    bool giveInput;
    bool giveOutput;
    bool expectedResult;
    std::uint16_t expectedInput;
    std::uint16_t expectedOutput;
};
void PrintTo(const LengthsCase& c, std::ostream* os) {
    *os << c.name;
}

class SimLinkLengths : public ::testing::TestWithParam<LengthsCase> {};

TEST_P(SimLinkLengths, ClearsTheGivenOutputsAndFillsThemOnlyOnSuccess) {
    const LengthsCase& c = GetParam();
    VirtualClock clock;
    Ot40Model model;
    model.setReportLengths(34, 80);
    SimDeviceLink link(clock, model);
    link.setCapabilitiesFail(c.capabilitiesFail);
    if (c.open) {
        ASSERT_TRUE(link.Open(kDefaultInterfacePath));
    }
    std::uint16_t in = 999;
    std::uint16_t out = 999;

    EXPECT_EQ(link.GetReportLengths(c.giveInput ? &in : nullptr, c.giveOutput ? &out : nullptr), c.expectedResult);
    EXPECT_EQ(in, c.giveInput ? c.expectedInput : 999);
    EXPECT_EQ(out, c.giveOutput ? c.expectedOutput : 999);
}

INSTANTIATE_TEST_SUITE_P(Lengths,
                         SimLinkLengths,
                         ::testing::Values(LengthsCase{"Both", true, false, true, true, true, 34, 80},
                                           LengthsCase{"InputOnly", true, false, true, false, true, 34, 0},
                                           LengthsCase{"OutputOnly", true, false, false, true, true, 0, 80},
                                           LengthsCase{"Neither", true, false, false, false, false, 0, 0},
                                           LengthsCase{"NotOpen", false, false, true, true, false, 0, 0},
                                           LengthsCase{"CapabilityFailure", true, true, true, true, false, 0, 0}),
                         [](const auto& info) { return info.param.name; });

TEST_F(SimLink, ZeroLengthsFromTheDeviceArePassedOn) {
    model.setReportLengths(0, 65);
    openDefault();
    std::uint16_t in = 1;
    std::uint16_t out = 1;
    EXPECT_TRUE(link.GetReportLengths(&in, &out));
    EXPECT_EQ(in, 0);
    EXPECT_EQ(out, 65);
}

// --- writing ---

TEST_F(SimLink, AWriteHandsTheWholeReportToTheDeviceWithReportIdZero) {
    openDefault();
    clock.advance(1234);
    Bytes report = command(0x22, {0x02});
    report[0] = 0x55;

    EXPECT_EQ(link.WriteReport(report, device::kSendWriteWaitMs, true), WriteOutcome::Sent);

    EXPECT_EQ(clock.now(), 1234);
    ASSERT_EQ(model.wireLog().size(), 1u);
    EXPECT_EQ(model.wireLog()[0].time, 1234);
    EXPECT_EQ(model.wireLog()[0].bytes, command(0x22, {0x02}));
    EXPECT_EQ(report[0], 0);
    EXPECT_EQ(model.settings().sizeIndex, 2);
}

TEST_F(SimLink, WritingWithoutAnOpenDeviceFailsAtOnce) {
    Bytes report = command(0x30);
    EXPECT_EQ(link.WriteReport(report, device::kQueryWriteWaitMs, true), WriteOutcome::SendFailed);
    EXPECT_EQ(clock.now(), 0);
    EXPECT_TRUE(model.wireLog().empty());
}

TEST_F(SimLink, WritingToAnUnpluggedDeviceFailsAtOnceEvenUnconfirmed) {
    openDefault();
    setFaults([](Faults& f) { f.unplugAfter = 0; });
    Bytes report = command(0x20, {0x00, 0x10});
    EXPECT_EQ(link.WriteReport(report, device::kLiveWriteWaitMs, false), WriteOutcome::SendFailed);
    EXPECT_EQ(clock.now(), 0);
    EXPECT_TRUE(model.wireLog().empty());
}

struct StallCase {
    std::string name;
    std::uint32_t waitMs;
    bool confirm;
};
void PrintTo(const StallCase& c, std::ostream* os) {
    *os << c.name;
}

class SimLinkStall : public ::testing::TestWithParam<StallCase> {};

TEST_P(SimLinkStall, AStalledWriteFailsAfterExactlyItsWaitAndNeverReachesTheDevice) {
    const StallCase& c = GetParam();
    VirtualClock clock;
    Ot40Model model;
    SimDeviceLink link(clock, model);
    ASSERT_TRUE(link.Open(kDefaultInterfacePath));
    Faults f;
    f.stallFrom = 2;
    model.setFaults(f);
    Bytes first = command(0x30);
    ASSERT_EQ(link.WriteReport(first, c.waitMs, c.confirm), WriteOutcome::Sent);
    const auto before = clock.now();

    Bytes second = command(0x34);
    EXPECT_EQ(link.WriteReport(second, c.waitMs, c.confirm), WriteOutcome::SendFailed);

    EXPECT_EQ(clock.now() - before, c.waitMs);
    EXPECT_EQ(model.wireLog().size(), 1u);
    EXPECT_EQ(link.outstandingIo(), 0);
    EXPECT_EQ(link.WriteReport(second, c.waitMs, c.confirm), WriteOutcome::SendFailed) << "a stall lasts";
}

INSTANTIATE_TEST_SUITE_P(Stalls,
                         SimLinkStall,
                         ::testing::Values(StallCase{"Query", device::kQueryWriteWaitMs, true},
                                           StallCase{"Send", device::kSendWriteWaitMs, true},
                                           StallCase{"LiveUnconfirmed", device::kLiveWriteWaitMs, false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(SimLink, AShortReportIsWrittenAsItIsAndMarkedCut) {
    model.setReportLengths(65, 10);
    openDefault();
    Bytes report = command(0x28, {0x82, 0x60, 0x82, 0x61}, 10);
    EXPECT_EQ(link.WriteReport(report, device::kSendWriteWaitMs, true), WriteOutcome::Sent);
    ASSERT_EQ(model.wireLog().size(), 1u);
    EXPECT_EQ(model.wireLog()[0].bytes.size(), 10u);
    EXPECT_TRUE(model.wireLog()[0].cut());
}

TEST_F(SimLink, UnplugAfterTwoReportsFailsTheThirdWrite) {
    openDefault();
    setFaults([](Faults& f) { f.unplugAfter = 2; });
    Bytes report = command(0x30);
    EXPECT_EQ(link.WriteReport(report, device::kQueryWriteWaitMs, true), WriteOutcome::Sent);
    EXPECT_EQ(link.WriteReport(report, device::kQueryWriteWaitMs, true), WriteOutcome::Sent);
    EXPECT_EQ(link.WriteReport(report, device::kQueryWriteWaitMs, true), WriteOutcome::SendFailed);
    Bytes reply(65);
    EXPECT_EQ(link.ReadReport(reply), ReadOutcome::NotReady);
    EXPECT_TRUE(link.IsOpen()) << "the handle stays open until the panel closes it";
}

// --- reading ---

TEST_F(SimLink, AQueryIsAnsweredWithinThePause) {
    openDefault();
    Bytes reply;
    EXPECT_EQ(query(0x34, reply), ReadOutcome::Received);
    EXPECT_EQ(reply, bytesWith(65, {{1, 0x34}, {2, 15}}));
    EXPECT_EQ(clock.now(), device::kReplyPauseMs);
    EXPECT_EQ(link.outstandingIo(), 0);
}

TEST_F(SimLink, ReadingWithNothingQueuedIsNotReadyAndTakesNoTime) {
    openDefault();
    Bytes reply(65, 0xAA);
    EXPECT_EQ(link.ReadReport(reply), ReadOutcome::NotReady);
    EXPECT_EQ(clock.now(), 0);
    EXPECT_EQ(reply[0], 0);
}

TEST_F(SimLink, ReadingWithoutAnOpenDeviceIsNotReady) {
    Bytes reply(65);
    EXPECT_EQ(link.ReadReport(reply), ReadOutcome::NotReady);
}

TEST_F(SimLink, ALateReplyMissesItsReadAndIsTakenByTheNextOne) {
    openDefault();
    setFaults([](Faults& f) { f.answerLate = true; });
    Bytes reply;
    EXPECT_EQ(query(0x30, reply), ReadOutcome::NotReady);

    setFaults([](Faults& f) { f.answerLate = false; });
    EXPECT_EQ(query(0x34, reply), ReadOutcome::Received);
    EXPECT_EQ(reply[1], 0x30) << "the late layout reply comes first";
    Bytes next(65);
    EXPECT_EQ(link.ReadReport(next), ReadOutcome::Received);
    EXPECT_EQ(next[1], 0x34);
}

TEST_F(SimLink, AFailedReadCompletionTakes500MsAndLosesItsReport) {
    openDefault();
    Bytes report = command(0x30);
    link.WriteReport(report, device::kQueryWriteWaitMs, true);
    link.PauseForReply();
    setFaults([](Faults& f) { f.failNextRead = true; });
    const auto before = clock.now();
    Bytes reply(65);

    EXPECT_EQ(link.ReadReport(reply), ReadOutcome::ReceiveFailed);
    EXPECT_EQ(clock.now() - before, device::kReadWaitMs);
    EXPECT_EQ(link.outstandingIo(), 0);
    EXPECT_EQ(link.ReadReport(reply), ReadOutcome::NotReady) << "one-shot, and the report went with it";
}

TEST_F(SimLink, ADroppedAnswerIsNotReady) {
    openDefault();
    setFaults([](Faults& f) { f.dropAnswers = true; });
    Bytes reply;
    EXPECT_EQ(query(0x3F, reply), ReadOutcome::NotReady);
}

struct ReadLengthCase {
    std::string name;
    std::uint16_t deviceLength;
    std::size_t bufferLength;
};
void PrintTo(const ReadLengthCase& c, std::ostream* os) {
    *os << c.name;
}

class SimLinkReadLength : public ::testing::TestWithParam<ReadLengthCase> {};

// Run under AddressSanitizer: a copy past either end would be reported.
TEST_P(SimLinkReadLength, CopiesWhatFitsAndZeroesTheRest) {
    const ReadLengthCase& c = GetParam();
    VirtualClock clock;
    Ot40Model model;
    model.setReportLengths(c.deviceLength, 65);
    Ot40Settings s = model.settings();
    s.row1.fill(0x77);
    model.setSettings(s);
    SimDeviceLink link(clock, model);
    ASSERT_TRUE(link.Open(kDefaultInterfacePath));
    Bytes report = command(0x38);
    link.WriteReport(report, device::kQueryWriteWaitMs, true);
    link.PauseForReply();
    Bytes reply(c.bufferLength, 0xAA);

    ASSERT_EQ(link.ReadReport(reply), ReadOutcome::Received);

    Bytes expected(c.bufferLength, 0);
    for (std::size_t i = 1; i < std::min<std::size_t>(c.bufferLength, c.deviceLength); ++i)
        expected[i] = i == 1 ? 0x38 : (i <= 33 ? 0x77 : 0x00);
    EXPECT_EQ(reply, expected);
}

INSTANTIATE_TEST_SUITE_P(ReadLengths,
                         SimLinkReadLength,
                         ::testing::Values(ReadLengthCase{"Equal", 65, 65},
                                           ReadLengthCase{"BufferShorterThanTheReport", 65, 20},
                                           ReadLengthCase{"BufferLongerThanTheReport", 20, 65},
                                           ReadLengthCase{"TwoByteBuffer", 65, 2},
                                           ReadLengthCase{"OneByteBuffer", 65, 1}),
                         [](const auto& info) { return info.param.name; });

TEST_F(SimLink, EmptyBuffersAreRefusedLikeTheSystemRefusesThem) {
    openDefault();
    Bytes report = command(0x30);
    link.WriteReport(report, device::kQueryWriteWaitMs, true);
    link.PauseForReply();
    const auto before = clock.now();
    EXPECT_EQ(link.ReadReport(std::span<std::uint8_t>{}), ReadOutcome::NotReady);
    EXPECT_EQ(link.WriteReport(std::span<std::uint8_t>{}, device::kQueryWriteWaitMs, true), WriteOutcome::SendFailed);
    EXPECT_EQ(clock.now(), before);
    EXPECT_EQ(model.wireLog().size(), 1u);
    Bytes reply(65);
    EXPECT_EQ(link.ReadReport(reply), ReadOutcome::Received) << "the refused read took nothing";
}

}  // namespace
}  // namespace sw::sim
