#include "kv31_process.h"

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace kv31test {

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

namespace {

void redirect(const std::string& path, int target) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, target);
    ::close(fd);
}

}  // namespace

Kv31Process::Kv31Process(const std::vector<std::string>& arguments, const std::string& folder,
                         bool stderrOnTerminal)
    : outPath_(folder + "/kv31.out"), errPath_(folder + "/kv31.err") {
    int terminalSlave = -1;
    if (stderrOnTerminal && ::openpty(&terminal_, &terminalSlave, nullptr, nullptr, nullptr) != 0) {
        terminal_ = -1;
    }
    std::vector<std::string> args = arguments;
    args.insert(args.begin(), KV31_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        redirect(outPath_, STDOUT_FILENO);
        if (terminalSlave >= 0) {
            ::dup2(terminalSlave, STDERR_FILENO);
        } else {
            redirect(errPath_, STDERR_FILENO);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (terminalSlave >= 0) {
        ::close(terminalSlave);
    }
}

Kv31Process::~Kv31Process() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (terminal_ >= 0) {
        ::close(terminal_);
    }
}

void Kv31Process::signal(int number) const {
    ::kill(pid_, number);
}

int Kv31Process::wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pid_ > 0) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

std::string Kv31Process::out() const {
    return fileText(outPath_);
}

// On a terminal: what the program wrote there up to now, as the terminal passed it on.
std::string Kv31Process::err() const {
    if (terminal_ < 0) {
        return fileText(errPath_);
    }
    std::string text;
    char bytes[512];
    ::fcntl(terminal_, F_SETFL, ::fcntl(terminal_, F_GETFL) | O_NONBLOCK);
    for (ssize_t n; (n = ::read(terminal_, bytes, sizeof bytes)) > 0;) {
        text.append(bytes, static_cast<std::size_t>(n));
    }
    return text;
}

Kv31Result runKv31(const std::vector<std::string>& arguments, const std::string& folder) {
    Kv31Process process(arguments, folder);
    Kv31Result result;
    result.code = process.wait(std::chrono::seconds(60));
    result.out = process.out();
    result.err = process.err();
    return result;
}

}  // namespace kv31test
