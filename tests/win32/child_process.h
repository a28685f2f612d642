#pragma once

// Child processes of the Wine runner. Each child is killed when the runner dies, so a
// runner stopped by CTest's time-out leaves no Wine process behind.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace quillet::wine {

using Clock = std::chrono::steady_clock;

// Starts argv[0] (a path) with argv. outFd and errFd replace stdout and stderr when
// not -1. Returns the pid, or -1 when the process could not be started.
pid_t spawnChild(const std::vector<std::string>& argv, int outFd = -1, int errFd = -1);

// Waits for the child until the deadline; kills it then. The exit status, 128 + the
// signal for a killed child, or -1 when the deadline struck.
int waitChild(pid_t pid, Clock::time_point deadline);

// The exit status if the child has ended (it is then reaped), or nothing yet.
bool childEnded(pid_t pid, int& status);

// Runs a child to its end (bounded by the deadline); its exit status as waitChild.
int runChild(const std::vector<std::string>& argv, Clock::time_point deadline, int outFd = -1,
             int errFd = -1);

}  // namespace quillet::wine
