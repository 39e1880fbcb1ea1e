// The compiler must turn the UTF-8 sources' Japanese literals into code page 932: the device and the dialog see
// only those bytes.

#include <gtest/gtest.h>

#include <vector>

#include "protocol/signal_format.h"
#include "tests/protocol/cp932_reference.h"

namespace sw::protocol {
namespace {

using sw::test::bytesOf;
using Bytes = std::vector<std::uint8_t>;

TEST(ShiftJisLiterals, ConnectWordIsShiftJis) {
    EXPECT_EQ(bytesOf("接続"), (Bytes{0x90, 0xDA, 0x91, 0xB1}));
}

TEST(ShiftJisLiterals, MultiplicationSignIsShiftJis) {
    EXPECT_EQ(bytesOf("×"), (Bytes{0x81, 0x7E}));
}

TEST(ShiftJisLiterals, StatusTextFromTheProtocolIsShiftJis) {
    StatusReply status;
    status.osdPattern = 2;
    status.signalMode = 4;
    // "OSDパターン2を受信しました。\n入力解像度は1920×1080（i）です。"
    const Bytes expected = {
        'O',  'S',  'D',  0x83, 0x70, 0x83, 0x5E, 0x81, 0x5B, 0x83, 0x93, '2',  0x82, 0xF0, 0x8E, 0xF3,
        0x90, 0x4D, 0x82, 0xB5, 0x82, 0xDC, 0x82, 0xB5, 0x82, 0xBD, 0x81, 0x42, '\n', 0x93, 0xFC, 0x97,
        0xCD, 0x89, 0xF0, 0x91, 0x9C, 0x93, 0x78, 0x82, 0xCD, '1',  '9',  '2',  '0',  0x81, 0x7E, '1',
        '0',  '8',  '0',  0x81, 0x69, 'i',  0x81, 0x6A, 0x82, 0xC5, 0x82, 0xB7, 0x81, 0x42,
    };
    EXPECT_EQ(bytesOf(buildStatusText(status, std::nullopt)), expected);
}

}  // namespace
}  // namespace sw::protocol
