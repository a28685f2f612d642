#pragma once

#include <optional>
#include <string>

namespace quillet {

// The device path routed to a port name by routePort, if any.
std::optional<std::string> routedDevice(const char* name);

}  // namespace quillet
