#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>

#include "link/port_platform.h"
#include "link/serial_port.h"
#include "link/uucp_lock.h"

#ifndef QUILLET_COM1_DEVICE
#define QUILLET_COM1_DEVICE "/dev/ttyS0"
#endif
#ifndef QUILLET_COM2_DEVICE
#define QUILLET_COM2_DEVICE "/dev/ttyS1"
#endif

namespace quillet {

namespace {

struct LinkState {
    std::atomic<int> port{-1};
    // Held with the port, as other serial programs expect; window thread only.
    UucpLock uucpLock;
    // Wakes a readByte waiting in poll; made on the window thread before any reader runs.
    int wakeRead = -1;
    int wakeWrite = -1;
};

LinkState linkState;

bool makeNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

// Root passes TIOCEXCL in the kernel; honour another holder's exclusive mode ourselves.
bool exclusiveElsewhere(int fd) {
#ifdef TIOCGEXCL
    int exclusive = 0;
    return ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
#else
    (void)fd;
    return false;
#endif
}

void releaseDevice(int fd) {
    // On a pseudo-terminal the exclusive mode outlives our descriptor.
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

// The open device, or -1 with code kPortCannotOpen or kPortHeldElsewhere.
int openExclusive(const std::string& path, int& code) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // Another program's exclusive mode refuses the open itself.
        code = errno == EBUSY ? kPortHeldElsewhere : kPortCannotOpen;
        return -1;
    }
    if (exclusiveElsewhere(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        code = kPortHeldElsewhere;
        ::close(fd);
        return -1;
    }
    // Not a terminal at all shows when its settings are read.
    ::ioctl(fd, TIOCEXCL);
    return fd;
}

std::optional<speed_t> speedFor(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return std::nullopt;
    }
}

constexpr tcflag_t kInputBits =
    IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | INPCK | IXON | IXOFF | IXANY;
constexpr tcflag_t kControlBits = CSIZE | PARENB | CSTOPB | CLOCAL | CREAD | CRTSCTS | HUPCL;
constexpr tcflag_t kLocalBits = ICANON | ECHO | ECHONL | ISIG | IEXTEN;

termios lineSettings(const termios& current, speed_t speed) {
    termios wanted = current;
    cfmakeraw(&wanted);
    wanted.c_iflag &= ~kInputBits;
    wanted.c_cflag &= ~kControlBits;
    wanted.c_cflag |= CS8 | CLOCAL | CREAD;
    cfsetispeed(&wanted, speed);
    cfsetospeed(&wanted, speed);
    return wanted;
}

bool sameLineSettings(const termios& a, const termios& b) {
    return (a.c_iflag & kInputBits) == (b.c_iflag & kInputBits) &&
           (a.c_oflag & OPOST) == (b.c_oflag & OPOST) &&
           (a.c_cflag & kControlBits) == (b.c_cflag & kControlBits) &&
           (a.c_lflag & kLocalBits) == (b.c_lflag & kLocalBits) &&
           cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

// tcsetattr succeeds when any part applies, so the settings are read back.
bool applySettings(int fd, const termios& wanted, bool (*same)(const termios&, const termios&)) {
    termios applied{};
    return ::tcsetattr(fd, TCSANOW, &wanted) == 0 && ::tcgetattr(fd, &applied) == 0 &&
           same(applied, wanted);
}

bool holdModemLinesOff(int fd) {
    int lines = TIOCM_DTR | TIOCM_RTS;
    // A pseudo-terminal has no modem lines.
    return ::ioctl(fd, TIOCMBIC, &lines) == 0 || errno == ENOTTY || errno == EINVAL;
}

bool sameReadTiming(const termios& a, const termios& b) {
    return a.c_cc[VMIN] == b.c_cc[VMIN] && a.c_cc[VTIME] == b.c_cc[VTIME];
}

int configure(int fd, int baud) {
    termios current{};
    if (::tcgetattr(fd, &current) != 0) {
        return kPortSettingsUnreadable;
    }
    const std::optional<speed_t> speed = speedFor(baud);
    if (!speed) {
        return kPortSettingsRefused;
    }
    termios wanted = lineSettings(current, *speed);
    if (!applySettings(fd, wanted, sameLineSettings) || !holdModemLinesOff(fd)) {
        return kPortSettingsRefused;
    }
    // One byte at a time, with no time limit.
    wanted.c_cc[VMIN] = 1;
    wanted.c_cc[VTIME] = 0;
    if (!applySettings(fd, wanted, sameReadTiming)) {
        return kPortTimeoutsRefused;
    }
    ::tcflush(fd, TCIOFLUSH);
    return kPortOpened;
}

using Clock = std::chrono::steady_clock;

// Blocks until the port can take more; false when it never will or the time is up.
bool waitWritable(int fd, Clock::time_point deadline) {
    pollfd entry{fd, POLLOUT, 0};
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        const int ready =
            ::poll(&entry, 1, static_cast<int>(std::min<long long>(left.count(), 60'000)));
        if ((ready < 0 && errno == EINTR) || ready == 0) {
            continue;
        }
        return ready > 0 && (entry.revents & POLLOUT) != 0;
    }
}

bool writeAll(int fd, const unsigned char* next, std::size_t left, Clock::time_point deadline) {
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written > 0) {
            next += written;
            left -= static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitWritable(fd, deadline)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

bool prepareReaderWake() {
    if (linkState.wakeRead >= 0) {
        return true;
    }
    int ends[2];
    if (::pipe(ends) != 0) {
        return false;
    }
    if (!makeNonBlocking(ends[0]) || !makeNonBlocking(ends[1])) {
        ::close(ends[0]);
        ::close(ends[1]);
        return false;
    }
    linkState.wakeRead = ends[0];
    linkState.wakeWrite = ends[1];
    return true;
}

std::string deviceForName(const char* name) {
    if (name == nullptr) {
        return {};
    }
    if (std::strcmp(name, "COM1") == 0) {
        return QUILLET_COM1_DEVICE;
    }
    if (std::strcmp(name, "COM2") == 0) {
        return QUILLET_COM2_DEVICE;
    }
    return {};
}

// The lock file comes first: a program that holds the port by it alone must not even
// have its line settings touched.
int openDevice(const std::string& path, int baud) {
    if (linkState.uucpLock.take(path) == UucpLock::Result::HeldElsewhere) {
        return kPortHeldElsewhere;
    }
    int refused = kPortCannotOpen;
    const int fd = openExclusive(path, refused);
    if (fd < 0) {
        linkState.uucpLock.release();
        return refused;
    }
    const int code = configure(fd, baud);
    if (code != kPortOpened) {
        releaseDevice(fd);
        linkState.uucpLock.release();
        return code;
    }
    linkState.port.store(fd);
    return kPortOpened;
}

void closeDevice() {
    const int fd = linkState.port.exchange(-1);
    if (fd >= 0) {
        releaseDevice(fd);
    }
    linkState.uucpLock.release();
}

bool writeDevice(const unsigned char* bytes, std::size_t count, long long limitMs) {
    const int fd = linkState.port.load();
    if (fd < 0) {
        return false;
    }
    if (writeAll(fd, bytes, count, Clock::now() + std::chrono::milliseconds(limitMs))) {
        return true;
    }
    ::tcflush(fd, TCOFLUSH);
    return false;
}

bool readByte(unsigned char& out) {
    const int fd = linkState.port.load();
    if (fd < 0) {
        return false;
    }
    pollfd entries[2] = {{fd, POLLIN, 0}, {linkState.wakeRead, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(entries, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (entries[1].revents != 0) {
            return false;
        }
        if ((entries[0].revents & POLLIN) == 0) {
            return false;  // hung up, error or invalid
        }
        const ssize_t got = ::read(fd, &out, 1);
        if (got == 1) {
            return true;
        }
        // Another poll when it was a false alarm; 0 or EIO means the device is gone.
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            continue;
        }
        return false;
    }
}

bool portIsOpen() {
    return linkState.port.load() >= 0;
}

void wakeReader() {
    const char wake = 1;
    // A full pipe already wakes the reader.
    [[maybe_unused]] const ssize_t written = ::write(linkState.wakeWrite, &wake, 1);
}

void flushPortInput() {
    const int fd = linkState.port.load();
    if (fd >= 0) {
        ::tcflush(fd, TCIFLUSH);
    }
}

void clearReaderWake() {
    char drained[64];
    while (::read(linkState.wakeRead, drained, sizeof drained) > 0) {
    }
}

}  // namespace quillet
