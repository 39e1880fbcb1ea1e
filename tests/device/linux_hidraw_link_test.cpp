// The Linux link without a device: discovery over a fake sysfs tree, report lengths from descriptors, and the
// exchange over a SOCK_SEQPACKET socket pair standing in for the hidraw node (it keeps report boundaries, as
// hidraw does).

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/box_lock.h"
#include "device/hid_report_descriptor.h"
#include "device/linux_hidraw_discovery.h"
#include "device/linux_hidraw_link.h"

namespace sw::device {
namespace {

namespace fs = std::filesystem;

std::int64_t nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("sw-sysfs-" + std::to_string(::getpid()));
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    void addHidraw(const std::string& name, const std::string& hidId, const std::string& more = "") {
        const fs::path device = root_ / "class" / "hidraw" / name / "device";
        fs::create_directories(device);
        std::ofstream(device / "uevent") << "DRIVER=hid-generic\nHID_ID=" << hidId << "\nHID_NAME=Some device\n"
                                         << more;
    }

    fs::path root_;
};

TEST_F(FakeSysfs, MatchingNodesInNodeNumberOrder) {
    addHidraw("hidraw10", "0003:00003C9B:00005D17");
    addHidraw("hidraw0", "0003:0000046D:0000C52B");                  // another vendor
    addHidraw("hidraw2", "0003:00003c9b:00005d17");                  // lower case is the same ID
    addHidraw("hidraw3", "0003:00003C9B:00005D18");                  // another product
    fs::create_directories(root_ / "class" / "hidraw" / "hidraw4");  // no device link
    const std::vector<std::string> expected = {"/dev/hidraw2", "/dev/hidraw10"};
    EXPECT_EQ(findHidrawNodes(root_.string(), "/dev", 0x3C9B, 0x5D17), expected);

    LinuxHidrawLink link(root_.string(), "/dev");
    std::string path = "stale";
    EXPECT_TRUE(link.FindDevicePath(0x3C9B, 0x5D17, path));
    EXPECT_EQ(path, "/dev/hidraw2");
}

// usbhid's phys names the port (and the interface, which is no part of it); uniq is the serial number.
TEST_F(FakeSysfs, EachBoxWithItsPortAndSerialNumber) {
    addHidraw("hidraw5", "0003:00003C9B:00005D17", "HID_PHYS=usb-0000:00:14.0-1.2/input0\nHID_UNIQ=OT40-0042\n");
    addHidraw("hidraw6", "0003:00003C9B:00005D17", "HID_PHYS=usb-0000:00:14.0-3/input1\nHID_UNIQ=\n");
    LinuxHidrawLink link(root_.string(), "/dev");
    const std::vector<BoxInfo> boxes = link.FindBoxes(0x3C9B, 0x5D17);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].path, "/dev/hidraw5");
    EXPECT_EQ(boxes[0].port, "usb-0000:00:14.0-1.2");
    EXPECT_EQ(boxes[0].serial, "OT40-0042");
    EXPECT_EQ(boxes[1].port, "usb-0000:00:14.0-3");
    EXPECT_EQ(boxes[1].serial, "");
}

// flock() on the node: a second taker (another open of the node) waits its time, then learns who holds it.
TEST(BoxLockLinux, ASecondTakerIsBusyUntilTheFirstLetsGo) {
    const fs::path node = fs::temp_directory_path() / ("sw-box-" + std::to_string(::getpid()));
    std::ofstream(node).put('\0');
    {
        BoxLock first = BoxLock::acquire(node.string(), 0);
        ASSERT_EQ(first.outcome(), BoxLock::Outcome::Taken) << first.reason();
        const std::int64_t start = nowMs();
        const BoxLock second = BoxLock::acquire(node.string(), 100);
        EXPECT_EQ(second.outcome(), BoxLock::Outcome::Busy);
        EXPECT_GE(nowMs() - start, 100);
        EXPECT_NE(second.holder().find("(process " + std::to_string(::getpid()) + ")"), std::string::npos)
            << second.holder();
    }
    EXPECT_EQ(BoxLock::acquire(node.string(), 0).outcome(), BoxLock::Outcome::Taken) << "let go with its owner";
    fs::remove(node);
    EXPECT_EQ(BoxLock::acquire(node.string(), 0).outcome(), BoxLock::Outcome::Failed);
}

TEST_F(FakeSysfs, NoHidrawClassFindsNothing) {
    LinuxHidrawLink link(root_.string(), "/dev");
    std::string path = "stale";
    EXPECT_FALSE(link.FindDevicePath(0x3C9B, 0x5D17, path));
    EXPECT_EQ(path, "");
}

TEST(ReportDescriptor, LengthsAsWindowsCountsThem) {
    // Vendor page, 64-byte input and output reports without report IDs.
    const std::vector<std::uint8_t> plain = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                             0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01,
                                             0x81, 0x02, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0};
    DescriptorLengths lengths = parseReportDescriptor(plain);
    EXPECT_TRUE(lengths.valid);
    EXPECT_EQ(lengths.input, 65);
    EXPECT_EQ(lengths.output, 65);
    EXPECT_FALSE(lengths.numberedReports);

    // Two numbered input reports (8 and 33 bytes of data) and no output report.
    const std::vector<std::uint8_t> numbered = {0x75, 0x08, 0x85, 0x01, 0x95, 0x08, 0x81,
                                                0x02, 0x85, 0x02, 0x95, 0x21, 0x81, 0x02};
    lengths = parseReportDescriptor(numbered);
    EXPECT_EQ(lengths.input, 34);
    EXPECT_EQ(lengths.output, 0);
    EXPECT_TRUE(lengths.numberedReports);

    // Cut inside an item's data.
    EXPECT_FALSE(parseReportDescriptor(std::vector<std::uint8_t>{0x75, 0x08, 0x96, 0x40}).valid);
}

// One end is the link's "node"; the test plays the device on the other.
class SocketPairLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0, fds_), 0);
        link_ = std::make_unique<LinuxHidrawLink>(fds_[0], std::uint16_t{65}, std::uint16_t{65}, false);
    }
    void TearDown() override {
        link_.reset();
        if (fds_[1] >= 0)
            close(fds_[1]);
    }

    int fds_[2] = {-1, -1};
    std::unique_ptr<LinuxHidrawLink> link_;
};

TEST_F(SocketPairLink, ReportWrittenWholeWithReportIdZero) {
    std::vector<std::uint8_t> report(65, 0x11);
    report[1] = 0x28;
    EXPECT_EQ(link_->WriteReport(report, 1000, true), WriteOutcome::Sent);
    std::vector<std::uint8_t> got(100, 0xEE);
    ASSERT_EQ(read(fds_[1], got.data(), got.size()), 65);
    EXPECT_EQ(got[0], 0x00);
    EXPECT_EQ(got[1], 0x28);
    EXPECT_EQ(got[64], 0x11);
}

TEST_F(SocketPairLink, WriteThatIsNeverTakenTimesOut) {
    std::vector<std::uint8_t> report(65, 0);
    // The device reads nothing: once the socket's buffer is full the next write waits its limit and fails.
    int sent = 0;
    WriteOutcome outcome = WriteOutcome::Sent;
    std::int64_t started = nowMs();
    for (; sent < 100000; ++sent) {
        started = nowMs();
        outcome = link_->WriteReport(report, 50, true);
        if (outcome != WriteOutcome::Sent)
            break;
    }
    const std::int64_t waited = nowMs() - started;
    EXPECT_EQ(outcome, WriteOutcome::SendFailed);
    EXPECT_GT(sent, 0);
    EXPECT_GE(waited, 45);
    EXPECT_LT(waited, 1000);
}

TEST_F(SocketPairLink, WaitingReportIsReadWholeAfterTheIdPosition) {
    // Without numbered reports hidraw hands over the 64 data bytes alone.
    std::vector<std::uint8_t> data(64);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(0x30 + i);
    ASSERT_EQ(write(fds_[1], data.data(), data.size()), 64);
    std::vector<std::uint8_t> reply(65, 0xEE);
    EXPECT_EQ(link_->ReadReport(reply), ReadOutcome::Received);
    EXPECT_EQ(reply[0], 0x00);
    EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 1, reply.end()), data);
    EXPECT_EQ(link_->ReadReport(reply), ReadOutcome::NotReady) << "one report, taken whole";
}

// As on Windows, a read that cannot be done at once ends as NotReady, which stops a pass ("reconnect"): nothing
// waiting, the device gone, or no node open. Each answers without waiting.
TEST(LinuxHidrawRead, RefusedAtOnceIsNotReady) {
    const struct {
        const char* what;
        bool deviceGone;
        bool linkClosed;
    } cases[] = {
        {"nothing waiting", false, false},
        {"the device gone", true, false},
        {"no node open", false, true},
    };
    for (const auto& c : cases) {
        int fds[2] = {-1, -1};
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0, fds), 0);
        LinuxHidrawLink link(fds[0], 65, 65, false);
        if (c.deviceGone)
            close(fds[1]);
        if (c.linkClosed)
            link.Close();
        std::vector<std::uint8_t> reply(65, 0xEE);
        const std::int64_t started = nowMs();
        EXPECT_EQ(link.ReadReport(reply), ReadOutcome::NotReady) << c.what;
        EXPECT_LT(nowMs() - started, 100) << c.what;
        if (c.deviceGone)
            EXPECT_EQ(link.WriteReport(reply, 100, true), WriteOutcome::SendFailed) << c.what;
        else
            close(fds[1]);
    }
}

TEST(LinuxHidrawOpen, MissingNodeIsNoAccessProblem) {
    LinuxHidrawLink link;
    EXPECT_FALSE(link.Open("/dev/hidraw-that-is-not-there"));
    EXPECT_EQ(link.LastOpenFailure(), OpenFailure::Other);
}

TEST_F(SocketPairLink, AdoptedLengthsAreReported) {
    std::uint16_t input = 0;
    std::uint16_t output = 0;
    EXPECT_TRUE(link_->GetReportLengths(&input, &output));
    EXPECT_EQ(input, 65);
    EXPECT_EQ(output, 65);
    link_->Close();
    EXPECT_FALSE(link_->GetReportLengths(&input, &output));
    EXPECT_EQ(input, 0);
}

}  // namespace
}  // namespace sw::device
