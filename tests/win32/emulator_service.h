#pragma once

// Serves the Windows test program's requests on the emulated printer over a TCP
// connection: faults, stored lines, bytes to send, what was received, vanishing.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/kv31_emulator.h"

namespace quillet::wine {

struct ServiceSetup {
    // Pseudo-terminal mode: the link Wine's COM1 leads to, pointed at each new device.
    std::filesystem::path com1Link;
    // Checks, for a device path, that COM1 leads there; empty when it does.
    std::function<std::string(const std::string& devicePath)> checkMapping;
    // Real-device mode instead (a null-modem cable to a Windows machine): its path.
    std::string device;
    // Requests the runner answers itself (a picture of a window, say); nothing for others.
    std::function<std::optional<std::string>(const std::vector<std::string>& words)> extra;
};

class EmulatorService {
  public:
    explicit EmulatorService(ServiceSetup setup);
    ~EmulatorService();
    EmulatorService(const EmulatorService&) = delete;
    EmulatorService& operator=(const EmulatorService&) = delete;

    // Starts the emulator (and, on a pseudo-terminal, points the COM1 link at it).
    bool start(std::string& error);
    std::string devicePath() const;

    // Listens on the IPv4 address; port 0 lets the system choose, see port().
    bool listen(const std::string& address, int port, std::string& error);
    int port() const { return port_; }

    // Answers requests for up to the given time.
    void serveFor(std::chrono::milliseconds time);
    // True once a client came and went.
    bool clientLeft() const { return clientLeft_; }
    // Ends the emulator and removes the COM1 link.
    void stop();

  private:
    using Words = std::vector<std::string>;
    std::string handle(const Words& words);
    std::optional<std::string> handleSession(const Words& words);
    std::optional<std::string> handleSetup(const Words& words);
    std::optional<std::string> handleTraffic(const Words& words);
    std::string setFault(const std::string& name, const std::string& value);
    bool restart(std::string& error);
    void acceptClient();
    void readClient();

    ServiceSetup setup_;
    std::unique_ptr<kv31::Emulator> emulator_;
    kv31::Faults faults_;
    bool vanished_ = false;
    int listenFd_ = -1;
    int clientFd_ = -1;
    int port_ = 0;
    bool clientLeft_ = false;
    std::string inbox_;
};

}  // namespace quillet::wine
