#include "device/linux_hidraw_discovery.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>

namespace sw::device {

namespace {

// "hidraw12" -> 12; anything else is not a hidraw entry.
bool hidrawNumber(const std::string& name, unsigned long& number) {
    constexpr std::string_view kPrefix = "hidraw";
    if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0)
        return false;
    const std::string digits = name.substr(kPrefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) || digits.size() > 9)
        return false;
    number = std::stoul(digits);
    return true;
}

}  // namespace

bool ueventMatches(const std::string& uevent, std::uint16_t vendorId, std::uint16_t productId) {
    std::istringstream lines(uevent);
    std::string line;
    while (std::getline(lines, line)) {
        unsigned bus = 0;
        unsigned vendor = 0;
        unsigned product = 0;
        // The kernel writes "HID_ID=%04X:%08X:%08X"; sscanf's %x takes either case.
        if (std::sscanf(line.c_str(), "HID_ID=%x:%x:%x", &bus, &vendor, &product) == 3)
            return vendor == vendorId && product == productId;
    }
    return false;
}

std::string ueventField(const std::string& uevent, const std::string& key) {
    std::istringstream lines(uevent);
    std::string line;
    const std::string prefix = key + "=";
    while (std::getline(lines, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    }
    return {};
}

std::vector<std::string> findHidrawNodes(const std::string& sysfsRoot,
                                         const std::string& devRoot,
                                         std::uint16_t vendorId,
                                         std::uint16_t productId) {
    std::vector<std::string> nodes;
    for (HidrawBox& box : findHidrawBoxes(sysfsRoot, devRoot, vendorId, productId))
        nodes.push_back(std::move(box.node));
    return nodes;
}

std::vector<HidrawBox> findHidrawBoxes(const std::string& sysfsRoot,
                                       const std::string& devRoot,
                                       std::uint16_t vendorId,
                                       std::uint16_t productId) {
    namespace fs = std::filesystem;
    std::vector<std::pair<unsigned long, HidrawBox>> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(sysfsRoot) / "class" / "hidraw", ec)) {
        const std::string name = entry.path().filename().string();
        unsigned long number = 0;
        if (!hidrawNumber(name, number))
            continue;
        std::ifstream file(entry.path() / "device" / "uevent");
        if (!file)
            continue;
        std::stringstream text;
        text << file.rdbuf();
        if (!ueventMatches(text.str(), vendorId, productId))
            continue;
        // usbhid writes "usb-<controller>-<port path>/input<interface>": the port outlasts a replug into it.
        std::string port = ueventField(text.str(), "HID_PHYS");
        if (const std::size_t slash = port.rfind("/input"); slash != std::string::npos)
            port.erase(slash);
        found.emplace_back(number,
                           HidrawBox{devRoot + "/" + name, std::move(port), ueventField(text.str(), "HID_UNIQ")});
    }
    // Directory order is not stable; the node number is.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<HidrawBox> boxes;
    for (auto& [number, box] : found)
        boxes.push_back(std::move(box));
    return boxes;
}

}  // namespace sw::device
