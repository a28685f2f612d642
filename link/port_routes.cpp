#include "link/port_routes.h"

#include <map>
#include <mutex>

#include "link/serial_port.h"
#include "link/testing/link_testing.h"

namespace quillet {

namespace {

struct Routes {
    std::mutex mutex;
    std::map<std::string, std::string, std::less<>> paths;
};

Routes& routes() {
    static Routes table;
    return table;
}

}  // namespace

void routePort(std::string_view name, std::string_view devicePath) {
    Routes& table = routes();
    const std::lock_guard<std::mutex> hold(table.mutex);
    if (devicePath.empty()) {
        if (auto found = table.paths.find(name); found != table.paths.end()) {
            table.paths.erase(found);
        }
        return;
    }
    table.paths.insert_or_assign(std::string(name), std::string(devicePath));
}

std::optional<std::string> routedDevice(const char* name) {
    if (name == nullptr) {
        return std::nullopt;
    }
    Routes& table = routes();
    const std::lock_guard<std::mutex> hold(table.mutex);
    if (auto found = table.paths.find(std::string_view(name)); found != table.paths.end()) {
        return found->second;
    }
    return std::nullopt;
}

}  // namespace quillet
