// The kv31-sim program itself: it names its device, logs commands, and ends on SIGTERM.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "terminal_client.h"

namespace kv31test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class SimProcess {
  public:
    explicit SimProcess(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        args.insert(args.begin(), KV31_SIM_PATH);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        output_ = out[0];
    }

    ~SimProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) {
            close(output_);
        }
    }

    // The next line the program printed, or "" after the time-out.
    std::string readLine(std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            const std::size_t end = buffered_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            pollfd pfd{output_, POLLIN, 0};
            if (poll(&pfd, 1, 50) <= 0) {
                continue;
            }
            char bytes[256];
            const ssize_t n = read(output_, bytes, sizeof bytes);
            if (n <= 0) {
                break;
            }
            buffered_.append(bytes, static_cast<std::size_t>(n));
        }
        return {};
    }

    // The exit status after the signal, or -1 if it did not end in time.
    int terminate(int signal, std::chrono::milliseconds timeout) {
        kill(pid_, signal);
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            usleep(10'000);
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    bool exited_ = false;
    std::string buffered_;
};

TEST(Kv31Sim, NamesItsDeviceAndLogsCommands) {
    SimProcess sim({"--no-pacing", "--text-before-header", ">>"});
    const std::string path = sim.readLine(5s);
    ASSERT_FALSE(path.empty());
    TerminalClient client(path);
    ASSERT_TRUE(client.isOpen());

    ASSERT_TRUE(
        client.write("\x1bM\x1b"
                     "5\nRH2\n"));
    const std::string want =
        ">>Header 2\r\nfont:    Arial 14\r\ntext: \r\n\"        418 Larkspur Blvd\"\r\n";
    EXPECT_EQ(client.read(want.size(), 3s), want);
    EXPECT_EQ(sim.readLine(3s), "mode 5");
    EXPECT_EQ(sim.readLine(3s), "query header 2");

    EXPECT_EQ(sim.terminate(SIGTERM, 5s), 0);
}

TEST(Kv31Sim, EndsOnInterrupt) {
    SimProcess sim({"--silent"});
    const std::string path = sim.readLine(5s);
    ASSERT_FALSE(path.empty());
    TerminalClient client(path);
    ASSERT_TRUE(client.write("RH1\n"));
    EXPECT_EQ(sim.readLine(3s), "query header 1");
    EXPECT_EQ(client.readFor(200ms), "");
    EXPECT_EQ(sim.terminate(SIGINT, 5s), 0);
}

// A log nobody reads (a full pipe) must neither stop the printer nor its ending.
TEST(Kv31Sim, ServesAndEndsWhenNobodyReadsItsLog) {
    SimProcess sim({"--no-pacing", "--text-before-header", "\\0\\x07\\\\"});
    const std::string path = sim.readLine(5s);
    ASSERT_FALSE(path.empty());
    TerminalClient client(path);
    ASSERT_TRUE(client.isOpen());

    // Some 150 KB of log, more than the pipe and the log's own queue hold.
    std::string commands;
    for (int i = 0; i < 8000; ++i) {
        commands += "x\n";
    }
    ASSERT_TRUE(client.write(commands));
    ASSERT_TRUE(client.write("RH2\n"));
    const std::string want =
        std::string("\0\x07\\", 3) +
        "Header 2\r\nfont:    Arial 14\r\ntext: \r\n\"        418 Larkspur Blvd\"\r\n";
    EXPECT_EQ(client.read(want.size(), 5s), want);

    EXPECT_EQ(sim.terminate(SIGTERM, 5s), 0);
    EXPECT_EQ(client.readFor(100ms), "");
    EXPECT_TRUE(client.hungUp());
}

TEST(Kv31Sim, RefusesUnknownOptions) {
    SimProcess sim({"--frobnicate"});
    EXPECT_EQ(sim.readLine(3s), "");
    EXPECT_EQ(sim.terminate(0, 5s), 2);
}

}  // namespace
}  // namespace kv31test
