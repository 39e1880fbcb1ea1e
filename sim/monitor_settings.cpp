#include "sim/monitor_settings.h"

#include <optional>

namespace sw::sim {

int signalChoiceOf(const InputSignal& signal) {
    const int mode = signal.signalMode & 0x07;
    if (mode != 0)
        return mode;
    return signal.explicitResolution ? kExplicitSignalChoice : kNoSignalChoice;
}

InputSignal withSignalChoice(InputSignal signal, int choice, const ExplicitResolution& resolution) {
    if (choice > kNoSignalChoice && choice < kExplicitSignalChoice) {
        signal.signalMode = static_cast<std::uint8_t>(choice);
        return signal;
    }
    signal.signalMode = 0;
    signal.explicitResolution = choice == kExplicitSignalChoice;
    if (signal.explicitResolution) {
        signal.width = resolution.width & 0x0FFF;
        signal.height = resolution.height & 0x0FFF;
        signal.interlaced = resolution.interlaced;
    }
    return signal;
}

bool faultSwitchOn(const Faults& faults, FaultSwitch which) {
    switch (which) {
        case FaultSwitch::LateAnswers:
            return faults.answerLate;
        case FaultSwitch::WrongEcho:
            return faults.echoCode.has_value();
        case FaultSwitch::StalledWrites:
        case FaultSwitch::StallMidSend:
            return faults.stallFrom.has_value();
        case FaultSwitch::Unplugged:
            return faults.unplugAfter.has_value();
    }
    return false;
}

Faults withFaultSwitch(Faults faults, FaultSwitch which, bool on, std::uint32_t receivedCount) {
    switch (which) {
        case FaultSwitch::LateAnswers:
            faults.answerLate = on;
            break;
        case FaultSwitch::WrongEcho:
            faults.echoCode = on ? std::optional<std::uint8_t>(kWrongEchoCode) : std::nullopt;
            break;
        case FaultSwitch::StalledWrites:
            // The next report is the first one left on the wire.
            faults.stallFrom = on ? std::optional<std::uint32_t>(receivedCount + 1) : std::nullopt;
            break;
        case FaultSwitch::StallMidSend:
            faults.stallFrom =
                on ? std::optional<std::uint32_t>(receivedCount + kReportsBeforeMidSendStall + 1) : std::nullopt;
            break;
        case FaultSwitch::Unplugged:
            faults.unplugAfter = on ? std::optional<std::uint32_t>(receivedCount) : std::nullopt;
            break;
    }
    return faults;
}

}  // namespace sw::sim
