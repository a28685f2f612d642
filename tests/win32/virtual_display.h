#pragma once

// A private X server (Xvfb) for Windows programs with windows: Wine draws them there.

#include <sys/types.h>

#include <string>

#include "tests/win32/child_process.h"

namespace quillet::wine {

class VirtualDisplay {
  public:
    VirtualDisplay() = default;
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Starts the server on a free display number; logFd takes its messages.
    bool start(const std::string& xvfb, int logFd, Clock::time_point deadline, std::string& error);
    // ":N" once started.
    const std::string& name() const { return name_; }
    void stop();

  private:
    pid_t server_ = -1;
    std::string name_;
};

}  // namespace quillet::wine
