#pragma once

#include <string>
#include <vector>

// The serial ports of this machine, for `kv31 ports`. Listing opens no port and sends
// nothing: a port is seen only through what the system says about it.
namespace quillet {

enum class PortUse {
    Free,
    Busy,    // a lock file or an open descriptor shows another program holding it
    Unknown  // the system tells only a program that opens the port
};

struct ListedPort {
    std::string name;  // what `kv31 -p` takes: COM7, ttyUSB0, /dev/serial/by-id/...
    std::string device;
    std::string description;
    PortUse use = PortUse::Unknown;
};

// Sorted by name, numbers in order (COM2 before COM10).
std::vector<ListedPort> listPorts();

}  // namespace quillet
