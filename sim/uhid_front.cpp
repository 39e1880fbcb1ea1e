#include "sim/uhid_front.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "protocol/product.h"
#include "sim/uhid_device.h"
#include "sim/uhid_report_descriptor.h"
#include "sim/wire_log_file.h"

namespace sw::sim {

namespace {

constexpr std::uint16_t kBusUsb = 0x03;

volatile sig_atomic_t g_stop = 0;

void onStopSignal(int) {
    g_stop = 1;
}

// Milliseconds on the system's monotonic clock, the clock of the wire log's times (<chrono> does not build with
// this tree's code page 932 literals).
Millis nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<Millis>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

class UhidFront {
public:
    explicit UhidFront(const SimOptions& options) : options_(options) {
        // Each simulator is a box of its own: two running at once are two boxes with different serial numbers.
        identity_.name = "ZEL-OT40 (simulated)";
        identity_.uniq = options.serial.empty() ? "sim-" + std::to_string(getpid()) : options.serial;
        identity_.phys =
            (options.port.empty() ? "usb-zel-ot40-sim-" + std::to_string(getpid()) : options.port) + "/input0";
        identity_.bus = kBusUsb;
        identity_.vendor = protocol::kVendorId;
        identity_.product = protocol::kProductId;
        applySimOptions(options, model_);
    }

    int run() {
        if (!options_.wireLogPath.empty() && !wireLog_.open(options_.wireLogPath)) {
            std::fprintf(stderr, "zel-ot40-sim: cannot write the wire log %s: %s\n", options_.wireLogPath.c_str(),
                         std::strerror(errno));
            return 1;
        }
        wireLog_.follow(model_);
        if (!followPresence())
            return 1;
        bool readStdin = !options_.ignoreStdin;
        while (!g_stop) {
            pollfd fds[2] = {{device_ ? device_->fd() : -1, POLLIN, 0}, {readStdin ? 0 : -1, POLLIN, 0}};
            if (poll(fds, 2, timeoutMs()) < 0 && errno != EINTR)
                return 1;
            if (fds[0].revents & POLLIN)
                takeEvents();
            if (fds[1].revents & (POLLIN | POLLHUP))
                readStdin = takeConsoleInput();
            sendDueReplies();
        }
        return 0;
    }

private:
    // A present device is one uhid device; a gone one has none, and a new one is made when it comes back.
    bool followPresence() {
        if (model_.unplugged() && device_) {
            device_.reset();
            opened_ = false;
            say("unplugged");
        } else if (!model_.unplugged() && !device_) {
            auto device = std::make_unique<UhidDevice>();
            const auto descriptor = vendorReportDescriptor(model_.inputReportLength(), model_.outputReportLength());
            if (!device->create(identity_, descriptor)) {
                std::fprintf(stderr,
                             "zel-ot40-sim: cannot make the HID device through /dev/uhid: %s (it needs the uhid "
                             "module and root, or write access to /dev/uhid)\n",
                             std::strerror(errno));
                return false;
            }
            device_ = std::move(device);
        }
        return true;
    }

    // A reply that falls due while nobody has the device open waits for the next open when replies are kept, as
    // an unsent input report does in a USB box; a gone device takes its replies with it.
    bool holdingReplies() const { return options_.keepReplies && device_ && !opened_; }

    int timeoutMs() const {
        const auto due = model_.nextReplyTime();
        if (!due || holdingReplies())
            return -1;
        return static_cast<int>(std::clamp<Millis>(*due - nowMs(), 0, 60'000));
    }

    void takeEvents() {
        while (device_) {
            const auto event = device_->readEvent();
            if (!event)
                return;
            switch (event->type) {
                case UHID_START:
                    say("plugged in: " + identity_.name + ", USB 3c9b:5d17, serial " + identity_.uniq);
                    break;
                case UHID_OPEN:
                    opened_ = true;
                    say("opened");
                    break;
                case UHID_CLOSE:
                    opened_ = false;
                    // Nobody holds the device open: what was queued for the last reader is lost with it, unless kept.
                    if (!options_.keepReplies)
                        model_.clearReplies();
                    say(model_.queuedReplies() > 0
                            ? "closed, keeping " + std::to_string(model_.queuedReplies()) + " replies for the next open"
                            : "closed");
                    break;
                case UHID_OUTPUT:
                    takeOutput(event->u.output);
                    break;
                case UHID_GET_REPORT:
                case UHID_SET_REPORT:
                    device_->refuse(*event);
                    break;
                default:
                    break;
            }
        }
    }

    void takeOutput(const uhid_output_req& output) {
        // The kernel queues every write for the device at once, so a device that stops taking reports cannot make
        // a write wait here: the report is lost instead, as one the device never took off the wire.
        if (model_.writesStalled())
            return;
        const std::span<const std::uint8_t> data(output.data, std::min<std::size_t>(output.size, UHID_DATA_MAX));
        // hidraw hands over the report number first. On the USB wire a device without numbered reports never sees
        // that byte when it is 0 (any other first byte travels as data). The model takes the report with its ID
        // position first, as a write on Windows delivers it.
        std::vector<std::uint8_t> report{0};
        const auto wire = !data.empty() && data[0] == 0 ? data.subspan(1) : data;
        report.insert(report.end(), wire.begin(), wire.end());
        model_.receive(report, nowMs());
        followPresence();
    }

    void sendDueReplies() {
        if (holdingReplies())
            return;
        while (auto reply = model_.takeReply(nowMs())) {
            // The report ID position stays behind: a device without numbered reports sends the data alone.
            if (device_ && reply->size() > 1)
                device_->sendInput(std::span<const std::uint8_t>(*reply).subspan(1));
        }
    }

    // False once stdin has ended.
    bool takeConsoleInput() {
        char chunk[512];
        const ssize_t got = read(0, chunk, sizeof chunk);
        if (got < 0)
            return errno == EINTR || errno == EAGAIN;
        if (got == 0) {
            g_stop = 1;
            return false;
        }
        console_.append(chunk, static_cast<std::size_t>(got));
        for (std::size_t end; (end = console_.find('\n')) != std::string::npos; console_.erase(0, end + 1)) {
            std::string error;
            if (applySimLine(std::string_view(console_).substr(0, end), options_, model_, error))
                say(followPresence() ? "ok" : "error: the device could not be made again");
            else
                say("error: " + error);
        }
        return true;
    }

    const SimOptions options_;
    WireLogFile wireLog_;  // before the model that writes to it
    Ot40Model model_;
    UhidIdentity identity_;
    std::unique_ptr<UhidDevice> device_;
    bool opened_ = false;  // someone has the device open (between the kernel's UHID_OPEN and UHID_CLOSE)
    std::string console_;
};

}  // namespace

int runUhidFront(const SimOptions& options) {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return UhidFront(options).run();
}

}  // namespace sw::sim
