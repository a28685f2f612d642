#include "emulator/device_port.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <mutex>

namespace kv31 {

namespace {

bool makeRaw9600(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | HUPCL);
    tio.c_cflag |= CLOCAL | CREAD | CS8;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool setNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// ptsname's buffer is shared by the whole process.
std::string slaveName(int master) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    const char* name = ptsname(master);  // NOLINT(concurrency-mt-unsafe): under the lock
    return name ? std::string(name) : std::string();
}

}  // namespace

bool openPseudoTerminal(DevicePort& port) {
    DevicePort opened;
    opened.fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (opened.fd < 0) {
        return false;
    }
    fcntl(opened.fd, F_SETFD, FD_CLOEXEC);
    if (grantpt(opened.fd) == 0 && unlockpt(opened.fd) == 0) {
        opened.path = slaveName(opened.fd);
    }
    // Raw settings on the master apply to the pair: no echo, no CR/LF translation.
    if (!opened.path.empty() && makeRaw9600(opened.fd) && setNonBlocking(opened.fd)) {
        opened.heldSlaveFd = open(opened.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    if (opened.heldSlaveFd < 0) {
        closeDevicePort(opened);
        return false;
    }
    port = opened;
    return true;
}

bool openSerialDevice(const std::string& path, DevicePort& port) {
    DevicePort opened;
    opened.fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened.fd < 0) {
        return false;
    }
    opened.path = path;
    if (!makeRaw9600(opened.fd)) {
        closeDevicePort(opened);
        return false;
    }
    port = opened;
    return true;
}

void closeDevicePort(DevicePort& port) {
    if (port.fd >= 0) {
        close(port.fd);
    }
    if (port.heldSlaveFd >= 0) {
        close(port.heldSlaveFd);
    }
    port.fd = -1;
    port.heldSlaveFd = -1;
}

}  // namespace kv31
