#pragma once
// The simulated ZEL-OT40: its OSD settings, its video input, its input-report queue and the faults it can be
// told to show. Portable and single-threaded: a front that serves it from several threads guards it itself.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "protocol/command_codes.h"

namespace sw::sim {

using Millis = std::int64_t;

inline constexpr std::size_t kDefaultReportLength = 65;
inline constexpr Millis kDefaultAnswerDelayMs = 20;
// Well past the panel's 500 ms pause, so a late answer always misses its read.
inline constexpr Millis kLateAnswerDelayMs = 800;

using protocol::RowCells;  // 16 cells, first byte then second byte

struct Ot40Settings {
    std::uint16_t hPosition = 100;  // 0..4095 as the device stores it
    std::uint16_t vPosition = 50;
    std::uint8_t sizeIndex = 0;  // 0..3 = x1..x4
    bool halftone = false;
    std::uint8_t colour1 = 15;  // palette index 0..15, row 1
    std::uint8_t colour2 = 12;  // row 2
    RowCells row1{};
    RowCells row2{};
    bool operator==(const Ot40Settings&) const = default;
};

// The power-on settings: row 1 holds "ZEL-OT40" in full-width cells, row 2 is empty.
Ot40Settings defaultSettings();

// What the device sees at its video input, as the status reply reports it.
struct InputSignal {
    int osdPattern = 1;           // 1..4
    std::uint8_t signalMode = 3;  // 0..7; 0 = the explicit resolution (if any) describes the signal
    bool explicitResolution = false;
    std::uint16_t width = 0;   // 0..4095
    std::uint16_t height = 0;  // 0..4095
    bool interlaced = false;
    bool operator==(const InputSignal&) const = default;
};

// Misbehaviour on demand; every field can be changed at any time and takes effect with the next report.
// Report counts are 1-based counts of all reports the device has received since it was made.
struct Faults {
    bool answerLate = false;               // queries are answered after kLateAnswerDelayMs
    std::optional<std::uint8_t> echoCode;  // queries are answered with this byte 1 instead of their own code
    // The query whose code is `first` is answered with the reply to the query `second`, its echo code included.
    std::optional<std::pair<std::uint8_t, std::uint8_t>> answerAs;
    bool dropAnswers = false;                  // queries are not answered at all
    bool answerSettings = false;               // setting commands are answered too, echoing their own code
    std::optional<std::uint32_t> stallFrom;    // the Nth report and every later one is never taken off the wire
    std::optional<std::uint32_t> unplugAfter;  // the device is gone once it has received N reports (0: gone now)
    bool failNextRead = false;  // the next read is accepted but completes with an error (one-shot; the pipe
                                // front cannot show it: a pipe never fails a read it has accepted)
    bool operator==(const Faults&) const = default;
};

// One report as the device took it off the wire: exactly the bytes written, never padded.
struct WireEntry {
    Millis time = 0;
    std::vector<std::uint8_t> bytes;
    // Shorter than a whole command frame (report ID and 64 command bytes).
    bool cut() const;
};

class Ot40Model {
public:
    Ot40Model();

    // --- what the device is ---
    const Ot40Settings& settings() const { return settings_; }
    void setSettings(const Ot40Settings& settings);
    const InputSignal& signal() const { return signal_; }
    void setSignal(const InputSignal& signal);
    const Faults& faults() const { return faults_; }
    void setFaults(const Faults& faults);

    // Report lengths as the device's capabilities state them (report ID byte included); may be short or 0.
    std::uint16_t inputReportLength() const { return inputReportLength_; }
    std::uint16_t outputReportLength() const { return outputReportLength_; }
    void setReportLengths(std::uint16_t inputLength, std::uint16_t outputLength);

    Millis answerDelay() const { return answerDelay_; }
    void setAnswerDelay(Millis delay);

    // --- the wire, as the fronts drive it ---
    // One output report arrives at `now`. Queries queue one reply; setting commands change the settings.
    // Reports shorter than two bytes carry no code and are only logged; missing payload bytes read as zero.
    void receive(std::span<const std::uint8_t> report, Millis now);
    // The gone device takes nothing and answers nothing; a front must not hand it reports.
    bool unplugged() const;
    // The next report would be one the device never takes off the wire.
    bool writesStalled() const;

    std::size_t queuedReplies() const { return replies_.size(); }
    std::optional<Millis> nextReplyTime() const;
    // Takes the oldest queued reply if it is ready at `now`; each reply is exactly inputReportLength() bytes.
    std::optional<std::vector<std::uint8_t>> takeReply(Millis now);
    // A closed handle loses what was queued for it; the next one starts empty.
    void clearReplies();
    // Consumes the one-shot read failure, if set.
    bool takeReadFailure();

    // --- observation ---
    const std::vector<WireEntry>& wireLog() const { return wireLog_; }
    void clearWireLog() { wireLog_.clear(); }
    std::uint32_t receivedCount() const { return receivedCount_; }
    // Rises with every received report and every change made through the setters above.
    std::uint64_t changeCount() const { return changeCount_; }
    // Called after each change, on the thread that made it (under the front's lock, if it has one): a display
    // should only schedule a repaint from it.
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    // Called with each report as it is logged, on the thread that handed it over.
    void setWireObserver(std::function<void(const WireEntry&)> observer) { wireObserver_ = std::move(observer); }

private:
    struct PendingReply {
        Millis readyAt;
        std::vector<std::uint8_t> bytes;
    };

    void applySetting(std::uint8_t code, std::span<const std::uint8_t> frame);
    std::vector<std::uint8_t> buildReply(std::uint8_t code, std::uint8_t echo) const;
    void queueReply(std::vector<std::uint8_t> bytes, Millis readyAt);
    void changed();

    Ot40Settings settings_;
    InputSignal signal_;
    Faults faults_;
    std::uint16_t inputReportLength_ = kDefaultReportLength;
    std::uint16_t outputReportLength_ = kDefaultReportLength;
    Millis answerDelay_ = kDefaultAnswerDelayMs;
    std::deque<PendingReply> replies_;  // in answer order, never becoming ready before an earlier one
    std::vector<WireEntry> wireLog_;
    std::uint32_t receivedCount_ = 0;
    std::uint64_t changeCount_ = 0;
    std::function<void()> observer_;
    std::function<void(const WireEntry&)> wireObserver_;
};

}  // namespace sw::sim
