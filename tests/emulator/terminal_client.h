#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace kv31test {

// The host's side of the wire, with nothing but termios: raw, 9600 8N1.
class TerminalClient {
  public:
    explicit TerminalClient(const std::string& path);
    ~TerminalClient();
    TerminalClient(const TerminalClient&) = delete;
    TerminalClient& operator=(const TerminalClient&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool write(std::string_view bytes);
    // Reads until count bytes have come, the device hangs up, or the time-out passes.
    std::string read(std::size_t count, std::chrono::milliseconds timeout);
    // Everything that arrives within the time given.
    std::string readFor(std::chrono::milliseconds duration);
    // True once a read saw the device gone (end of file or EIO).
    bool hungUp() const { return hungUp_; }
    void close();

  private:
    int fd_ = -1;
    bool hungUp_ = false;
};

}  // namespace kv31test
