#pragma once

// Serves the Windows test program's requests on the emulated printer over a local TCP
// connection: faults, stored lines, bytes to send, what was received, vanishing.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emulator/kv31_emulator.h"

namespace quillet::wine {

class EmulatorService {
public:
    // Checks, for a device path, that Wine's COM1 leads there; empty when it does.
    using MappingCheck = std::function<std::string(const std::string& devicePath)>;

    EmulatorService(std::filesystem::path com1Link, MappingCheck checkMapping);
    ~EmulatorService();
    EmulatorService(const EmulatorService&) = delete;
    EmulatorService& operator=(const EmulatorService&) = delete;

    // Starts the emulator on a pseudo-terminal and points the COM1 link at it.
    bool start(std::string& error);
    std::string devicePath() const;

    // Listens on 127.0.0.1; the port chosen is then in port().
    bool listen(std::string& error);
    int port() const { return port_; }

    // Answers requests for up to the given time.
    void serveFor(std::chrono::milliseconds time);
    // Ends the emulator and removes the COM1 link.
    void stop();

private:
    std::string handle(const std::vector<std::string>& words);
    std::string setFault(const std::string& name, const std::string& value);
    bool restart(std::string& error);
    void acceptClient();
    void readClient();

    std::filesystem::path com1Link_;
    MappingCheck checkMapping_;
    std::unique_ptr<kv31::Emulator> emulator_;
    kv31::Faults faults_;
    bool vanished_ = false;
    int listenFd_ = -1;
    int clientFd_ = -1;
    int port_ = 0;
    std::string inbox_;
};

}  // namespace quillet::wine
