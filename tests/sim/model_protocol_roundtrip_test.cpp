// The panel's own command builders and reply decoder against the simulated device, over the simulated link:
// what the panel sends is what it reads back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/query_request.h"
#include "protocol/reply_decoder.h"
#include "protocol/row_encoder.h"
#include "protocol/setting_command.h"
#include "sim/sim_device_link.h"
#include "tests/protocol/reply_printers.h"

namespace sw::sim {
namespace {

using protocol::SettingCommand;
using protocol::SettingValue;

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        std::string path;
        ASSERT_TRUE(link.FindDevicePath(0x3C9B, 0x5D17, path));
        ASSERT_TRUE(link.Open(path));
    }

    void send(SettingCommand command, SettingValue value) {
        std::vector<std::uint8_t> report(65, 0);
        ASSERT_TRUE(protocol::buildSettingCommand(command, value, report));
        ASSERT_EQ(link.WriteReport(report, device::kSendWriteWaitMs, true), device::WriteOutcome::Sent);
    }

    protocol::DecodedReply ask(protocol::QueryCode code) {
        std::vector<std::uint8_t> report(65, 0);
        EXPECT_TRUE(protocol::buildQueryRequest(code, report));
        EXPECT_EQ(link.WriteReport(report, device::kQueryWriteWaitMs, true), device::WriteOutcome::Sent);
        link.PauseForReply();
        std::vector<std::uint8_t> reply(65, 0);
        EXPECT_EQ(link.ReadReport(reply), device::ReadOutcome::Received);
        return protocol::decodeReply(reply);
    }

    void sendRow(SettingCommand command, const std::string& text) {
        const auto encoded =
            protocol::encodeRowText(std::span(reinterpret_cast<const std::uint8_t*>(text.c_str()), text.size() + 1));
        send(command, SettingValue{0, std::span(encoded.bytes.data(), encoded.length)});
    }

    VirtualClock clock;
    Ot40Model model;
    SimDeviceLink link{clock, model};
};

TEST_F(RoundTrip, SettingsSentByThePanelReadBackAsSent) {
    send(SettingCommand::SetHPosition, {2047});
    send(SettingCommand::SetVPosition, {1000});
    send(SettingCommand::SetSize, {2});
    send(SettingCommand::SetHalftone, {1});
    send(SettingCommand::SetColor1, {5});
    send(SettingCommand::SetColor2, {10});
    sendRow(SettingCommand::SetRow1, "AB");
    sendRow(SettingCommand::SetRow2, "");

    EXPECT_EQ(ask(protocol::QueryCode::QueryLayout),
              protocol::DecodedReply(protocol::LayoutReply{2047, 1000, 2, true}));
    EXPECT_EQ(ask(protocol::QueryCode::QueryColor1), protocol::DecodedReply(protocol::ColourReply{1, 5}));
    EXPECT_EQ(ask(protocol::QueryCode::QueryColor2), protocol::DecodedReply(protocol::ColourReply{2, 10}));
    // "AB" goes out as full-width Ａ Ｂ and comes back as those two double-byte characters.
    EXPECT_EQ(
        ask(protocol::QueryCode::QueryRow1),
        protocol::DecodedReply(protocol::RowReply{1, "\x82\x60\x82\x61", 2, protocol::cellBytes("\x82\x60\x82\x61")}));
    EXPECT_EQ(ask(protocol::QueryCode::QueryRow2), protocol::DecodedReply(protocol::RowReply{2, "", 0, {}}));
}

TEST_F(RoundTrip, StatusDecodesToTheSimulatedSignal) {
    InputSignal signal;
    signal.osdPattern = 2;
    signal.signalMode = 0;
    signal.explicitResolution = true;
    signal.width = 720;
    signal.height = 480;
    signal.interlaced = true;
    model.setSignal(signal);

    protocol::StatusReply expected;
    expected.osdPattern = 2;
    expected.explicitResolution = true;
    expected.explicitWidth = 720;
    expected.explicitHeight = 480;
    expected.explicitInterlaced = true;
    expected.signalMode = 0;
    EXPECT_EQ(ask(protocol::QueryCode::QueryStatus), protocol::DecodedReply(expected));
}

TEST_F(RoundTrip, TheBannerReadsBackAsFullWidthText) {
    // Ｚ Ｅ Ｌ － Ｏ Ｔ ４ ０ in Shift-JIS.
    EXPECT_EQ(ask(protocol::QueryCode::QueryRow1),
              protocol::DecodedReply(protocol::RowReply{
                  1, "\x82\x79\x82\x64\x82\x6B\x81\x7C\x82\x6E\x82\x73\x82\x53\x82\x4F", 8,
                  protocol::cellBytes("\x82\x79\x82\x64\x82\x6B\x81\x7C\x82\x6E\x82\x73\x82\x53\x82\x4F")}));
}

TEST_F(RoundTrip, AWrongEchoIsUnrecognised) {
    Faults f;
    f.echoCode = 0x31;
    model.setFaults(f);
    EXPECT_EQ(ask(protocol::QueryCode::QueryLayout), protocol::DecodedReply(protocol::UnrecognisedReply{}));
}

}  // namespace
}  // namespace sw::sim
