#include "link/serial_port.h"

#include <optional>
#include <string>

#include "link/port_platform.h"
#include "link/port_routes.h"
#include "link/reader_thread.h"
#include "link/write_limit.h"

namespace quillet {

namespace {

// Of the open port, for the writes' time limit; window thread only.
int openBaud = 0;

std::string devicePath(const char* name) {
    if (std::optional<std::string> routed = routedDevice(name)) {
        return *routed;
    }
    return deviceForName(name);
}

}  // namespace

int openPort(const char* name, int baud) {
    closePort();
    if (!prepareReaderWake()) {
        return kPortCannotOpen;
    }
    const std::string path = devicePath(name);
    if (path.empty()) {
        return kPortCannotOpen;
    }
    const int code = openDevice(path, baud);
    if (code == kPortOpened) {
        openBaud = baud;
    }
    return code;
}

// The reader must be gone before the device it reads is closed under it.
void closePort() {
    stopReader();
    closeDevice();
}

bool writeBytes(const void* bytes, std::size_t count) {
    if (!portIsOpen() || (bytes == nullptr && count > 0)) {
        return false;
    }
    return writeDevice(static_cast<const unsigned char*>(bytes), count,
                       writeTimeLimitMs(count, openBaud));
}

}  // namespace quillet
