#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace quillet::test {

// The far end of a serial line for the tests: the master side of a pseudo-terminal.
class PseudoTerminal {
  public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& devicePath() const { return devicePath_; }

    // Writes all bytes to the line; false if they could not be written in time.
    bool send(std::string_view bytes, std::chrono::milliseconds limit = std::chrono::seconds(10));
    // What arrives from the line until count bytes have come or the time is up.
    std::string receive(std::size_t count, std::chrono::milliseconds limit);
    // The device vanishes, as when a USB adapter is pulled.
    void closeMaster();

  private:
    int master_ = -1;
    std::string devicePath_;
};

// Keeps a device in another process until stop() or destruction, as another program would.
class OtherHolder {
  public:
    // flock, TIOCEXCL, or only open (for a program that marks it by a lock file alone).
    enum class Hold { Lock, ExclusiveMode, OpenOnly };

    OtherHolder(const std::string& path, Hold how);
    ~OtherHolder();
    OtherHolder(const OtherHolder&) = delete;
    OtherHolder& operator=(const OtherHolder&) = delete;

    bool holding() const { return holding_; }
    int pid() const { return pid_; }
    void stop();

  private:
    int pid_ = -1;
    int release_ = -1;
    bool holding_ = false;
};

}  // namespace quillet::test
