// Quillet with COM1 wired to a KV-31 emulator inside the process, for trying every window
// without the printer. COM2 stays the real port.
#include <cstdio>

#include "emulator/kv31_emulator.h"
#include "link/serial_port.h"
#include "ui/run_quillet.h"

int main(int argc, char** argv) {
    kv31::Emulator printer;
    printer.setPacing(true);  // as slow as the real wire
    if (!printer.start()) {
        std::fputs("quillet-demo: no pseudo-terminal for the printer emulator\n", stderr);
        return 1;
    }
    quillet::routePort("COM1", printer.devicePath());
    const int result = quillet::runQuillet(argc, argv);
    quillet::routePort("COM1", "");
    printer.stop();
    return result;
}
