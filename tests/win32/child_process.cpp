#include "tests/win32/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace quillet::wine {

namespace {

int statusOf(int raw) {
    if (WIFEXITED(raw)) {
        return WEXITSTATUS(raw);
    }
    if (WIFSIGNALED(raw)) {
        return 128 + WTERMSIG(raw);
    }
    return 1;
}

}  // namespace

pid_t spawnChild(const std::vector<std::string>& argv, int outFd, int errFd) {
    if (argv.empty()) {
        return -1;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    // Child: its own process group, so that a kill reaches what it starts in turn.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(127);
    }
    if (outFd >= 0) {
        dup2(outFd, STDOUT_FILENO);
    }
    if (errFd >= 0) {
        dup2(errFd, STDERR_FILENO);
    }
    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
    }
    execv(args[0], args.data());
    _exit(127);
}

bool childEnded(pid_t pid, int& status) {
    int raw = 0;
    if (waitpid(pid, &raw, WNOHANG) != pid) {
        return false;
    }
    status = statusOf(raw);
    return true;
}

int waitChild(pid_t pid, Clock::time_point deadline) {
    int status = 0;
    while (!childEnded(pid, status)) {
        if (Clock::now() >= deadline) {
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status;
}

int runChild(const std::vector<std::string>& argv, Clock::time_point deadline, int outFd,
             int errFd) {
    const pid_t pid = spawnChild(argv, outFd, errFd);
    if (pid < 0) {
        return 127;
    }
    return waitChild(pid, deadline);
}

}  // namespace quillet::wine
