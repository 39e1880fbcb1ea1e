#include "tests/e2e/driver/hosted_device.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "tests/e2e/driver/check.h"

namespace sw::e2e {

HostedDevice::HostedDevice(std::string pipePath) : server_(std::move(pipePath)) {}

bool HostedDevice::start() {
    if (box_) {
        boxBaseline_ = static_cast<std::uint32_t>(box_->wireLog().size());
        return true;
    }
    if (server_.start())
        return true;
    std::printf("cannot serve %s: error %u\n", server_.pipePath().c_str(), server_.lastError());
    return false;
}

// withModel's value-returning form trips gcc 12's -Wmaybe-uninitialized at -O2 (it cannot see through the
// std::function that fills the result), so the values are copied out by the void form.
std::uint32_t HostedDevice::reportsReceived() {
    if (box_)
        return static_cast<std::uint32_t>(box_->wireLog().size()) - boxBaseline_;
    std::uint32_t count = 0;
    server_.withModel([&](sim::Ot40Model& model) { count = model.receivedCount(); });
    return count;
}

std::vector<sim::WireEntry> HostedDevice::wireLog() {
    if (box_) {
        const auto log = box_->wireLog();
        return {log.begin() + std::min<std::size_t>(boxBaseline_, log.size()), log.end()};
    }
    std::vector<sim::WireEntry> log;
    server_.withModel([&](sim::Ot40Model& model) { log = model.wireLog(); });
    return log;
}

void HostedDevice::setSettings(const sim::Ot40Settings& settings) {
    if (box_) {
        CHECK(box_->apply(optionsLine(settings)));
        return;
    }
    server_.withModel([&](sim::Ot40Model& model) { model.setSettings(settings); });
}

void HostedDevice::setSignal(const sim::InputSignal& signal) {
    if (box_) {
        CHECK(box_->apply(optionsLine(signal)));
        return;
    }
    server_.withModel([&](sim::Ot40Model& model) { model.setSignal(signal); });
}

// The real-stack runs take scenarios that set no faults and keep the lengths: the guest sets the box's own.
void HostedDevice::setFaults(const sim::Faults& faults) {
    if (CHECK(!box_))
        server_.withModel([&](sim::Ot40Model& model) { model.setFaults(faults); });
}

void HostedDevice::setReportLengths(std::uint16_t inputLength, std::uint16_t outputLength) {
    if (CHECK(!box_))
        server_.withModel([&](sim::Ot40Model& model) { model.setReportLengths(inputLength, outputLength); });
}

sim::Ot40Settings HostedDevice::settings() {
    sim::Ot40Settings settings;
    server_.withModel([&](sim::Ot40Model& model) { settings = model.settings(); });
    return settings;
}

bool HostedDevice::waitForReports(std::uint32_t count, Millis limit) {
    return waitFor(
        limit, [&] { return reportsReceived() >= count; }, Millis{1});
}

}  // namespace sw::e2e
