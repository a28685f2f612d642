#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "link/port_listing.h"

namespace kv31cli {

namespace {

using quillet::ListedPort;
using quillet::PortUse;

const char* useWord(PortUse use) {
    switch (use) {
        case PortUse::Free:
            return "no";
        case PortUse::Busy:
            return "yes";
        case PortUse::Unknown:
            break;
    }
    return "?";
}

// busy is true, false, or null where the system cannot tell without opening the port.
std::string portsJson(const std::vector<ListedPort>& ports) {
    nlohmann::json list = nlohmann::json::array();
    for (const ListedPort& port : ports) {
        nlohmann::json busy = nullptr;
        if (port.use != PortUse::Unknown) {
            busy = port.use == PortUse::Busy;
        }
        list.push_back({{"name", port.name},
                        {"device", port.device},
                        {"description", port.description},
                        {"busy", busy}});
    }
    return list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string padded(const std::string& text, std::size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

// Columns as wide as their longest entry; the description, last, as long as it is.
std::string portsTable(const std::vector<ListedPort>& ports) {
    std::size_t nameWidth = 4;
    std::size_t deviceWidth = 6;
    for (const ListedPort& port : ports) {
        nameWidth = std::max(nameWidth, port.name.size());
        deviceWidth = std::max(deviceWidth, port.device.size());
    }
    std::string table =
        padded("NAME", nameWidth) + "  " + padded("DEVICE", deviceWidth) + "  BUSY  DESCRIPTION\n";
    for (const ListedPort& port : ports) {
        table += padded(port.name, nameWidth) + "  " + padded(port.device, deviceWidth) + "  " +
                 padded(useWord(port.use), 4) + "  " + port.description + "\n";
    }
    return table;
}

}  // namespace

// Lists the serial ports here and sends nothing to any of them.
int runPortsCommand(const Options& options) {
    const std::vector<ListedPort> ports = quillet::listPorts();
    if (options.json) {
        std::fputs(portsJson(ports).c_str(), stdout);
        return kExitDone;
    }
    if (ports.empty()) {
        std::fputs("kv31: no serial ports found\n", stderr);
        return kExitDone;
    }
    std::fputs(portsTable(ports).c_str(), stdout);
    return kExitDone;
}

}  // namespace kv31cli
