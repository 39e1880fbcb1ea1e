#include "sim/ot40_model.h"

#include <algorithm>
#include <utility>

#include "protocol/command_codes.h"

namespace sw::sim {
namespace {

using protocol::QueryCode;
using protocol::SettingCommand;

constexpr std::uint8_t code(QueryCode c) {
    return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t code(SettingCommand c) {
    return static_cast<std::uint8_t>(c);
}

bool isQuery(std::uint8_t c) {
    return std::ranges::any_of(protocol::kQueryOrder, [c](QueryCode q) { return code(q) == c; });
}

bool isSetting(std::uint8_t c) {
    return std::ranges::any_of(protocol::kSendOrder, [c](SettingCommand s) { return code(s) == c; });
}

// The device keeps 12-bit position registers.
std::uint16_t twelveBits(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint16_t>(((high & 0x0F) << 8) | low);
}

}  // namespace

Ot40Settings defaultSettings() {
    Ot40Settings s;
    // "ZEL-OT40" in full-width Shift-JIS cells, as the panel would have sent it.
    constexpr std::uint8_t kBanner[] = {0x82, 0x79, 0x82, 0x64, 0x82, 0x6B, 0x81, 0x7C,
                                        0x82, 0x6E, 0x82, 0x73, 0x82, 0x53, 0x82, 0x4F};
    std::ranges::copy(kBanner, s.row1.begin());
    return s;
}

bool WireEntry::cut() const {
    return bytes.size() < protocol::kCommandFrameLength;
}

Ot40Model::Ot40Model() : settings_(defaultSettings()) {}

void Ot40Model::setSettings(const Ot40Settings& settings) {
    settings_ = settings;
    changed();
}

void Ot40Model::setSignal(const InputSignal& signal) {
    signal_ = signal;
    changed();
}

void Ot40Model::setFaults(const Faults& faults) {
    faults_ = faults;
    if (unplugged())
        replies_.clear();
    changed();
}

void Ot40Model::setReportLengths(std::uint16_t inputLength, std::uint16_t outputLength) {
    inputReportLength_ = inputLength;
    outputReportLength_ = outputLength;
    changed();
}

void Ot40Model::setAnswerDelay(Millis delay) {
    answerDelay_ = std::max<Millis>(delay, 0);
    changed();
}

bool Ot40Model::unplugged() const {
    return faults_.unplugAfter && receivedCount_ >= *faults_.unplugAfter;
}

bool Ot40Model::writesStalled() const {
    return faults_.stallFrom && receivedCount_ + 1 >= *faults_.stallFrom;
}

void Ot40Model::receive(std::span<const std::uint8_t> report, Millis now) {
    if (unplugged())
        return;
    ++receivedCount_;
    wireLog_.push_back({now, std::vector<std::uint8_t>(report.begin(), report.end())});
    if (wireObserver_)
        wireObserver_(wireLog_.back());

    // Bytes 0..64 of the frame; a cut report reads as if its missing bytes were zero.
    std::array<std::uint8_t, protocol::kCommandFrameLength> frame{};
    std::copy_n(report.begin(), std::min(report.size(), frame.size()), frame.begin());
    const std::uint8_t c = frame[1];

    if (report.size() >= 2 && !faults_.dropAnswers) {
        const Millis delay = faults_.answerLate ? kLateAnswerDelayMs : answerDelay_;
        if (isQuery(c)) {
            const std::uint8_t answered =
                faults_.answerAs && faults_.answerAs->first == c ? faults_.answerAs->second : c;
            queueReply(buildReply(answered, faults_.echoCode.value_or(answered)), now + delay);
        } else if (isSetting(c) && faults_.answerSettings)
            queueReply(buildReply(c, faults_.echoCode.value_or(c)), now + delay);
    }
    if (report.size() >= 2 && isSetting(c))
        applySetting(c, frame);

    if (unplugged())
        replies_.clear();
    changed();
}

void Ot40Model::applySetting(std::uint8_t c, std::span<const std::uint8_t> frame) {
    switch (static_cast<SettingCommand>(c)) {
        case SettingCommand::SetHPosition:
            settings_.hPosition = twelveBits(frame[2], frame[3]);
            break;
        case SettingCommand::SetVPosition:
            settings_.vPosition = twelveBits(frame[2], frame[3]);
            break;
        case SettingCommand::SetSize:
            settings_.sizeIndex = frame[2] & 0x03;
            break;
        case SettingCommand::SetHalftone:
            settings_.halftone = (frame[2] & 0x01) != 0;
            break;
        // All cells of a row share one colour on this device: the first cell's index is the row's.
        case SettingCommand::SetColor1:
            settings_.colour1 = frame[2] & 0x0F;
            break;
        case SettingCommand::SetColor2:
            settings_.colour2 = frame[2] & 0x0F;
            break;
        case SettingCommand::SetRow1:
            std::copy_n(frame.begin() + 2, settings_.row1.size(), settings_.row1.begin());
            break;
        case SettingCommand::SetRow2:
            std::copy_n(frame.begin() + 2, settings_.row2.size(), settings_.row2.begin());
            break;
    }
}

// The reply of query `c` with `echo` in byte 1, cut to (or padded up to) the input report length.
std::vector<std::uint8_t> Ot40Model::buildReply(std::uint8_t c, std::uint8_t echo) const {
    std::array<std::uint8_t, protocol::kCommandFrameLength> frame{};
    frame[1] = echo;
    const Ot40Settings& s = settings_;
    switch (c) {
        case code(QueryCode::QueryLayout):
            frame[2] = static_cast<std::uint8_t>((s.hPosition >> 8) & 0x0F);
            frame[3] = static_cast<std::uint8_t>(s.hPosition & 0xFF);
            frame[4] = static_cast<std::uint8_t>((s.vPosition >> 8) & 0x0F);
            frame[5] = static_cast<std::uint8_t>(s.vPosition & 0xFF);
            frame[6] = s.sizeIndex & 0x03;
            frame[7] = s.halftone ? 1 : 0;
            break;
        case code(QueryCode::QueryColor1):
            frame[2] = s.colour1 & 0x0F;
            break;
        case code(QueryCode::QueryColor2):
            frame[2] = s.colour2 & 0x0F;
            break;
        case code(QueryCode::QueryRow1):
            std::ranges::copy(s.row1, frame.begin() + 2);
            break;
        case code(QueryCode::QueryRow2):
            std::ranges::copy(s.row2, frame.begin() + 2);
            break;
        case code(QueryCode::QueryStatus):
            frame[2] = static_cast<std::uint8_t>((signal_.osdPattern - 1) & 0x03);
            if (signal_.explicitResolution) {
                frame[3] = static_cast<std::uint8_t>((signal_.width >> 8) & 0x0F);
                frame[4] = static_cast<std::uint8_t>(signal_.width & 0xFF);
                frame[5] = static_cast<std::uint8_t>((signal_.height >> 8) & 0x0F);
                frame[6] = static_cast<std::uint8_t>(signal_.height & 0xFF);
                frame[7] = 1;
                frame[8] = signal_.interlaced ? 0x80 : 0x00;
            }
            frame[24] = signal_.signalMode & 0x07;
            break;
        default:
            // A setting command's answer carries nothing but its echo.
            break;
    }
    std::vector<std::uint8_t> reply(inputReportLength_, 0);
    std::copy_n(frame.begin(), std::min(reply.size(), frame.size()), reply.begin());
    return reply;
}

void Ot40Model::queueReply(std::vector<std::uint8_t> bytes, Millis readyAt) {
    // A device without an input report has nothing to answer with.
    if (bytes.empty())
        return;
    // The device answers its commands one after the other: no reply overtakes an earlier, slower one.
    if (!replies_.empty())
        readyAt = std::max(readyAt, replies_.back().readyAt);
    replies_.push_back(PendingReply{readyAt, std::move(bytes)});
}

std::optional<Millis> Ot40Model::nextReplyTime() const {
    if (replies_.empty())
        return std::nullopt;
    return replies_.front().readyAt;
}

std::optional<std::vector<std::uint8_t>> Ot40Model::takeReply(Millis now) {
    if (replies_.empty() || replies_.front().readyAt > now)
        return std::nullopt;
    std::vector<std::uint8_t> bytes = std::move(replies_.front().bytes);
    replies_.pop_front();
    return bytes;
}

void Ot40Model::clearReplies() {
    replies_.clear();
}

bool Ot40Model::takeReadFailure() {
    return std::exchange(faults_.failNextRead, false);
}

void Ot40Model::changed() {
    ++changeCount_;
    if (observer_)
        observer_();
}

}  // namespace sw::sim
