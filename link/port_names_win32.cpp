#include <string>
#include <string_view>

#include "link/port_names.h"

namespace quillet {

namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";

}  // namespace

// Only the device namespace: COM10 and above open only there, and a name that reads as a
// file path (a drive, a folder) never becomes one.
std::string deviceForAnyName(const char* name) {
    const std::string_view text(name);
    if (text.substr(0, kDeviceNamespace.size()) == kDeviceNamespace) {
        const std::string_view device = text.substr(kDeviceNamespace.size());
        return device.empty() || device.find_first_of("\\/:") != std::string_view::npos
                   ? std::string()
                   : std::string(text);
    }
    if (text.empty() || text.find_first_of("\\/:") != std::string_view::npos) {
        return {};
    }
    return std::string(kDeviceNamespace) + std::string(text);
}

}  // namespace quillet
