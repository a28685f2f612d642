#pragma once

#include <string>

namespace kv31 {

// The device the emulator serves.
struct DevicePort {
    int fd = -1;           // read and written by the emulator, non-blocking
    int heldSlaveFd = -1;  // a pseudo-terminal's slave, held open so the master never
                           // reads as hung up while no client has it open
    std::string path;      // what a client opens
};

// A fresh pseudo-terminal, raw, its slave held open. False if none can be had.
bool openPseudoTerminal(DevicePort& port);

// A serial device (or any terminal) at 9600 8N1 raw, no flow control.
bool openSerialDevice(const std::string& path, DevicePort& port);

void closeDevicePort(DevicePort& port);

}  // namespace kv31
