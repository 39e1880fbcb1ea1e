#include "sim/monitor_texts.h"

#include <array>
#include <cwchar>
#include <utility>

#include "protocol/command_codes.h"
#include "sim/monitor_settings.h"
#include "sim/osd_layout.h"

namespace sw::sim {
namespace {

using protocol::QueryCode;
using protocol::SettingCommand;

constexpr std::array<std::pair<std::uint8_t, const wchar_t*>, 14> kCommandNames = {{
    {static_cast<std::uint8_t>(SettingCommand::SetHPosition), L"SetHPosition"},
    {static_cast<std::uint8_t>(SettingCommand::SetVPosition), L"SetVPosition"},
    {static_cast<std::uint8_t>(SettingCommand::SetSize), L"SetSize"},
    {static_cast<std::uint8_t>(SettingCommand::SetHalftone), L"SetHalftone"},
    {static_cast<std::uint8_t>(SettingCommand::SetColor1), L"SetColor1"},
    {static_cast<std::uint8_t>(SettingCommand::SetColor2), L"SetColor2"},
    {static_cast<std::uint8_t>(SettingCommand::SetRow1), L"SetRow1"},
    {static_cast<std::uint8_t>(SettingCommand::SetRow2), L"SetRow2"},
    {static_cast<std::uint8_t>(QueryCode::QueryLayout), L"QueryLayout"},
    {static_cast<std::uint8_t>(QueryCode::QueryColor1), L"QueryColor1"},
    {static_cast<std::uint8_t>(QueryCode::QueryColor2), L"QueryColor2"},
    {static_cast<std::uint8_t>(QueryCode::QueryRow1), L"QueryRow1"},
    {static_cast<std::uint8_t>(QueryCode::QueryRow2), L"QueryRow2"},
    {static_cast<std::uint8_t>(QueryCode::QueryStatus), L"QueryStatus"},
}};

std::wstring hexCode(std::uint8_t code) {
    wchar_t text[8];
    std::swprintf(text, sizeof text / sizeof text[0], L"0x%02X", static_cast<unsigned>(code));
    return text;
}

}  // namespace

std::wstring formatLabel(const protocol::SignalFormat& format) {
    if (!format.resolved)
        return L"no signal";
    return std::to_wstring(format.width) + L"\u00D7" + std::to_wstring(format.height) +
           (format.interlaced ? L" i" : L" p");
}

std::wstring signalChoiceLabel(int choice) {
    if (choice == kExplicitSignalChoice)
        return L"Explicit resolution";
    if (choice <= kNoSignalChoice || choice > kExplicitSignalChoice)
        return L"No signal";
    InputSignal signal;
    signal.signalMode = static_cast<std::uint8_t>(choice);
    return L"Mode " + std::to_wstring(choice) + L": " + formatLabel(pictureFormat(signal));
}

std::wstring commandName(std::uint8_t code) {
    for (const auto& [known, name] : kCommandNames) {
        if (known == code)
            return name;
    }
    return hexCode(code);
}

std::wstring statusLine(const LinkActivity& activity) {
    std::wstring line =
        L"Connections: " + std::to_wstring(activity.connections) + L"   Reports: " + std::to_wstring(activity.reports);
    if (activity.lastCode) {
        const std::wstring name = commandName(*activity.lastCode);
        line += L"   Last: " + hexCode(*activity.lastCode);
        if (name != hexCode(*activity.lastCode))
            line += L" " + name;
    }
    if (activity.unplugged)
        line += L"   (unplugged)";
    else if (activity.writesStalled)
        line += L"   (not taking reports)";
    return line;
}

}  // namespace sw::sim
