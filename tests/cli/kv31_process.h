#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace kv31test {

// The real kv31 program, run with arguments; its stdout and stderr go to files of their own
// (off a terminal, as in a script).
class Kv31Process {
  public:
    // With stderrOnTerminal, stderr is a pseudo-terminal, as when a person runs it.
    Kv31Process(const std::vector<std::string>& arguments, const std::string& folder,
                bool stderrOnTerminal = false);
    ~Kv31Process();
    Kv31Process(const Kv31Process&) = delete;
    Kv31Process& operator=(const Kv31Process&) = delete;

    void signal(int number) const;
    // The exit code; 128 + the signal when a signal ended it; -1 when it did not end in time
    // (it is killed then).
    int wait(std::chrono::milliseconds timeout);

    std::string out() const;
    std::string err() const;

  private:
    pid_t pid_ = -1;
    int terminal_ = -1;  // the pseudo-terminal's master side, when stderr is on one
    std::string outPath_;
    std::string errPath_;
};

struct Kv31Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::string fileText(const std::string& path);

// Runs kv31 to its end.
Kv31Result runKv31(const std::vector<std::string>& arguments, const std::string& folder);

}  // namespace kv31test
