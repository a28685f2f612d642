#include <cstring>
#include <string>

#include "link/port_names.h"

namespace quillet {

// A name with a slash is a path (/dev/ttyUSB0, /dev/serial/by-id/..., ./pty); a bare one,
// as `kv31 ports` lists it, names a device in /dev.
std::string deviceForAnyName(const char* name) {
    if (*name == '\0') {
        return {};
    }
    if (std::strchr(name, '/') != nullptr) {
        return name;
    }
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
        return {};
    }
    return std::string("/dev/") + name;
}

}  // namespace quillet
