#include "tests/win32/virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>

namespace quillet::wine {

namespace {

// The display number the server writes once it is ready to take clients.
bool readDisplayNumber(int fd, Clock::time_point deadline, std::string& number) {
    char buffer[16];
    while (number.empty() || number.back() != '\n') {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        number.append(buffer, static_cast<std::size_t>(n));
    }
    number.pop_back();
    return !number.empty() && std::isdigit(static_cast<unsigned char>(number[0]));
}

}  // namespace

VirtualDisplay::~VirtualDisplay() {
    stop();
}

bool VirtualDisplay::start(const std::string& xvfb, int logFd, Clock::time_point deadline,
                           std::string& error) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = "no pipe for Xvfb";
        return false;
    }
    // -displayfd 1: the server picks a free display and writes its number to our pipe.
    server_ = spawnChild({xvfb, "-displayfd", "1", "-screen", "0", "1280x1024x24", "-dpi", "96",
                          "-nolisten", "tcp", "-noreset"},
                         pipeFds[1], logFd);
    close(pipeFds[1]);
    std::string number;
    const bool started = server_ >= 0 && readDisplayNumber(pipeFds[0], deadline, number);
    close(pipeFds[0]);
    if (!started) {
        stop();
        error = "Xvfb (" + xvfb + ") did not start";
        return false;
    }
    name_ = ":" + number;
    return true;
}

void VirtualDisplay::stop() {
    if (server_ < 0) {
        return;
    }
    kill(server_, SIGTERM);
    waitChild(server_, Clock::now() + std::chrono::seconds(5));
    server_ = -1;
    name_.clear();
}

}  // namespace quillet::wine
