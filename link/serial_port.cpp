#include "link/serial_port.h"

#include <cstring>
#include <optional>
#include <string>

#include "link/port_names.h"
#include "link/port_platform.h"
#include "link/port_routes.h"
#include "link/reader_thread.h"
#include "link/traffic_trace.h"
#include "link/write_limit.h"

namespace quillet {

namespace {

// Of the open port, for the writes' time limit; window thread only.
int openBaud = 0;

bool isQuilletPortName(const char* name) {
    return name != nullptr && (std::strcmp(name, "COM1") == 0 || std::strcmp(name, "COM2") == 0);
}

// Empty when the name leads to no device.
std::string devicePath(const char* name, bool anyName) {
    if (std::optional<std::string> routed = routedDevice(name)) {
        return *routed;
    }
    if (isQuilletPortName(name)) {
        return deviceForName(name);
    }
    return anyName && name != nullptr ? deviceForAnyName(name) : std::string();
}

int openPath(const std::string& path, int baud) {
    closePort();
    if (!prepareReaderWake() || path.empty()) {
        return kPortCannotOpen;
    }
    const int code = openDevice(path, baud);
    if (code == kPortOpened) {
        openBaud = baud;
    }
    return code;
}

}  // namespace

int openPort(const char* name, int baud) {
    const int code = openPath(devicePath(name, false), baud);
    return code == kPortHeldElsewhere ? kPortCannotOpen : code;
}

int openAnyPort(const char* name, int baud) {
    return openPath(devicePath(name, true), baud);
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
    const auto* data = static_cast<const unsigned char*>(bytes);
    reportTraffic(TrafficDirection::Sent, data, count);
    return writeDevice(data, count, writeTimeLimitMs(count, openBaud));
}

}  // namespace quillet
