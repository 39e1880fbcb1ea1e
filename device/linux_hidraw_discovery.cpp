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

std::vector<std::string> findHidrawNodes(const std::string& sysfsRoot,
                                         const std::string& devRoot,
                                         std::uint16_t vendorId,
                                         std::uint16_t productId) {
    namespace fs = std::filesystem;
    std::vector<std::pair<unsigned long, std::string>> found;
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
        if (ueventMatches(text.str(), vendorId, productId))
            found.emplace_back(number, devRoot + "/" + name);
    }
    // Directory order is not stable; the node number is.
    std::sort(found.begin(), found.end());
    std::vector<std::string> nodes;
    for (auto& [number, node] : found)
        nodes.push_back(std::move(node));
    return nodes;
}

}  // namespace sw::device
