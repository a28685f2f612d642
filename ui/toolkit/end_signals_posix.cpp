#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "ui/toolkit/end_signals.h"

namespace quillet {
namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

int pipeEnds[2] = {-1, -1};

// Only what is safe in a signal handler: a write, and errno kept for the interrupted code.
void onEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

bool makePipe() {
    if (pipeEnds[0] >= 0) {
        return true;
    }
    int ends[2];
    if (::pipe(ends) != 0) {
        return false;
    }
    for (int fd : ends) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    pipeEnds[0] = ends[0];
    pipeEnds[1] = ends[1];
    return true;
}

}  // namespace

int catchEndSignals() {
    if (!makePipe()) {
        return -1;
    }
    struct sigaction action {};
    action.sa_handler = &onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kEndSignals) {
        ::sigaction(signal, &action, nullptr);
    }
    return pipeEnds[0];
}

void takeEndSignals(int fd) {
    char bytes[64];
    while (::read(fd, bytes, sizeof bytes) > 0) {
    }
}

void releaseEndSignals() {
    for (int signal : kEndSignals) {
        ::signal(signal, SIG_DFL);
    }
}

}  // namespace quillet
