// Windows has no pseudo-terminal, so the demo brings its own port: the platform's steps of
// the link, wired to the emulated printer in this process. Everything above them (the
// port's shared steps, reader thread, ring, line reader, protocol, windows) is the
// program's own. Only the demo links this file; its definitions stand in for the
// platform's port file, which the linker then leaves out. COM2 opens nothing: the demo
// reaches no real port.
#include <atomic>
#include <string>

#include "emulator/printer_wire.h"
#include "link/port_platform.h"
#include "link/serial_port.h"
#include "ui/demo_printer.h"

namespace quillet {

namespace {

kv31::PrinterWire& printer() {
    static kv31::PrinterWire wire;
    return wire;
}

std::atomic<bool> com1Open{false};

}  // namespace

struct DemoPrinter::State {};

DemoPrinter::DemoPrinter() = default;
DemoPrinter::~DemoPrinter() = default;

bool DemoPrinter::connected() const {
    return true;
}

bool prepareReaderWake() {
    return true;
}

std::string deviceForName(const char* name) {
    return name != nullptr ? name : "";
}

int openDevice(const std::string& path, int baud) {
    if (path != "COM1") {
        return kPortCannotOpen;
    }
    if (baud <= 0) {
        return kPortSettingsRefused;
    }
    printer().purge();
    com1Open.store(true);
    return kPortOpened;
}

void closeDevice() {
    com1Open.store(false);
}

bool writeDevice(const unsigned char* bytes, std::size_t count, long long /*limitMs*/) {
    if (!com1Open.load()) {
        return false;
    }
    printer().send(bytes, count);
    return true;
}

bool readByte(unsigned char& out) {
    return com1Open.load() && printer().receive(out);
}

bool portIsOpen() {
    return com1Open.load();
}

void wakeReader() {
    printer().interrupt();
}

void flushPortInput() {
    printer().discardArrived();
}

void clearReaderWake() {
    printer().resume();
}

}  // namespace quillet
