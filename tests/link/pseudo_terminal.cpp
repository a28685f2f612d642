#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace quillet::test {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool waitFor(int fd, short events, Clock::time_point deadline) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, millisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && (entry.revents & events) != 0;
    }
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) {
        return;
    }
    const char* name = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        (name = ::ptsname(master)) == nullptr) {  // NOLINT(concurrency-mt-unsafe)
        ::close(master);
        return;
    }
    devicePath_ = name;
    master_ = master;
}

PseudoTerminal::~PseudoTerminal() {
    closeMaster();
}

bool PseudoTerminal::send(std::string_view bytes, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!bytes.empty()) {
        const ssize_t written = ::write(master_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        const bool mayRetry = written == 0 || errno == EAGAIN || errno == EINTR;
        if (!mayRetry || !waitFor(master_, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

std::string PseudoTerminal::receive(std::size_t count, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    std::string got;
    char chunk[512];
    while (got.size() < count && waitFor(master_, POLLIN, deadline)) {
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n > 0) {
            got.append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            break;
        }
    }
    return got;
}

void PseudoTerminal::closeMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

OtherHolder::OtherHolder(const std::string& path, Hold how) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0) {
        return;
    }
    if (::pipe(release) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        // Only async-signal-safe calls from here on.
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        bool held = fd >= 0;
        if (held && how == Hold::Lock) {
            held = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        } else if (held && how == Hold::ExclusiveMode) {
            held = ::ioctl(fd, TIOCEXCL) == 0;
        }
        const char answer = held ? '1' : '0';
        [[maybe_unused]] ssize_t ignored = ::write(ready[1], &answer, 1);
        char wait = 0;
        ignored = ::read(release[0], &wait, 1);
        if (fd >= 0) {
            ::ioctl(fd, TIOCNXCL);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char answer = 0;
    holding_ = pid_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == '1';
    ::close(ready[0]);
}

OtherHolder::~OtherHolder() {
    stop();
}

void OtherHolder::stop() {
    if (release_ >= 0) {
        ::close(release_);
        release_ = -1;
    }
    if (pid_ > 0) {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    holding_ = false;
}

}  // namespace quillet::test
