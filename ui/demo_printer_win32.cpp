// Windows has no pseudo-terminal, so the demo brings its own port: the link's port
// functions, wired to the emulated printer in this process. Everything above them (reader
// thread, ring, line reader, protocol, windows) is the program's own. Only the demo links
// this file; its definitions stand in for the platform's port, which the linker then leaves
// out. COM2 opens nothing: the demo reaches no real port.
#include <atomic>
#include <cstring>

#include "emulator/printer_wire.h"
#include "link/port_platform.h"
#include "link/reader_thread.h"
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

int openPort(const char* name, int baud) {
    closePort();
    if (name == nullptr || std::strcmp(name, "COM1") != 0) {
        return kPortCannotOpen;
    }
    if (baud <= 0) {
        return kPortSettingsRefused;
    }
    printer().purge();
    com1Open.store(true);
    return kPortOpened;
}

void closePort() {
    stopReader();
    com1Open.store(false);
}

bool writeBytes(const void* bytes, std::size_t count) {
    if (!com1Open.load() || (bytes == nullptr && count > 0)) {
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
