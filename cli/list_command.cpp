#include "cli/list_command.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/device_session.h"
#include "cli/quoting.h"
#include "protocol/product.h"

namespace sw::cli {

int runList(device::DeviceLink& link, bool json, std::ostream& out, std::ostream& err) {
    const std::vector<device::BoxInfo> boxes = link.FindBoxes(protocol::kVendorId, protocol::kProductId);
    if (boxes.empty()) {
        err << kErrorPrefix << "the " << protocol::kModelName << " was not found\n";
        // As JSON too, so that a script reading the list finds an empty one.
        if (json)
            out << "[]\n";
        return kExitDeviceFailure;
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const device::BoxInfo& box : boxes) {
        const std::string& path = box.path;
        link.Close();
        std::uint16_t input = 0;
        std::uint16_t output = 0;
        // The port and the serial number name the box across replugs; a script can give either to --device. They
        // come last on a line, so that the columns before them stay where scripts look for them.
        nlohmann::ordered_json entry = {{"path", path}, {"port", nullptr}, {"serial", nullptr}};
        std::string names;
        if (!box.port.empty()) {
            entry["port"] = box.port;
            names += joined({"\tport ", escapedName(box.port)});
        }
        if (!box.serial.empty()) {
            entry["serial"] = box.serial;
            names += joined({"\tserial ", escapedName(box.serial)});
        }
        std::string problem;
        if (!link.Open(path))
            problem = joined({"cannot be opened: ", openFailureReason(link)});
        else if (!link.GetReportLengths(&input, &output))
            problem = "report lengths unknown";
        link.Close();
        if (problem.empty()) {
            entry["input"] = input;
            entry["output"] = output;
        } else {
            entry["error"] = problem;
        }
        if (json)
            list.push_back(entry);
        else if (problem.empty())
            out << path << "\tinput " << input << "\toutput " << output << names << "\n";
        else
            out << path << "\t" << problem << names << "\n";
    }
    if (json)
        out << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    return kExitOk;
}

}  // namespace sw::cli
