#pragma once
// What the monitor's control strip changes on the simulated device: the input signal, chosen from a list, and
// four fault switches, each making the panel show one kind of failure on purpose. Portable, so the mapping is
// tested without a window.

#include <cstdint>

#include "sim/ot40_model.h"

namespace sw::sim {

// The signal list: entry 0 is no signal, entries 1..7 the signal modes, entry 8 an explicit resolution.
inline constexpr int kNoSignalChoice = 0;
inline constexpr int kExplicitSignalChoice = 8;
inline constexpr int kSignalChoiceCount = 9;

struct ExplicitResolution {
    std::uint16_t width = 720;  // 0..4095
    std::uint16_t height = 480;
    bool interlaced = false;
};

// The list entry that describes the signal.
int signalChoiceOf(const InputSignal& signal);
// The signal after choosing `choice` from the list; the explicit resolution counts only for the explicit entry.
// The pattern and, for the other entries, the stored explicit fields stay as they are.
InputSignal withSignalChoice(InputSignal signal, int choice, const ExplicitResolution& resolution);

enum class FaultSwitch {
    LateAnswers,    // every query is answered after the panel has stopped waiting for it
    WrongEcho,      // every query is answered with an echo code the panel does not know
    StalledWrites,  // from the next report on nothing is taken off the wire, so the panel's writes time out
    StallMidSend,   // two more reports are taken, then none: a send fails after its first two commands went out
    Unplugged,      // the device is gone at once: open fails, a held handle breaks
};

// The echo code of the WrongEcho switch: no reply carries it.
inline constexpr std::uint8_t kWrongEchoCode = 0x3E;
// The reports StallMidSend still lets through.
inline constexpr std::uint32_t kReportsBeforeMidSendStall = 2;

// Both stall switches set the same fault: either one reads as on while the device is set to stall.
bool faultSwitchOn(const Faults& faults, FaultSwitch which);
// The faults with one switch turned on or off; the other faults stay. `receivedCount` is the number of reports
// the device has taken so far, for the switches that act from now on. Turning a stall switch on replaces the
// other's stall point.
Faults withFaultSwitch(Faults faults, FaultSwitch which, bool on, std::uint32_t receivedCount);

}  // namespace sw::sim
