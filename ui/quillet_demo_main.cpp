// Quillet with COM1 wired to an emulated KV-31, for trying every window without the printer.
#include <cstdio>

#include "ui/demo_printer.h"
#include "ui/run_quillet.h"

int main(int argc, char** argv) {
    quillet::DemoPrinter printer;
    if (!printer.connected()) {
        std::fputs("quillet-demo: no pseudo-terminal for the printer emulator\n", stderr);
        return 1;
    }
    return quillet::runQuillet(argc, argv);
}
