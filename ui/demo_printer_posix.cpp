// Where pseudo-terminals exist, the emulator serves one and COM1 is routed to it, so the
// demo reaches its printer through the link's own port code. COM2 stays the real port.
#include "emulator/kv31_emulator.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "ui/demo_printer.h"

namespace quillet {

struct DemoPrinter::State {
    kv31::Emulator printer;
    bool connected = false;
};

DemoPrinter::DemoPrinter() : state_(std::make_unique<State>()) {
    state_->printer.setPacing(true);
    state_->connected = state_->printer.start();
    if (state_->connected) {
        routePort("COM1", state_->printer.devicePath());
    }
}

DemoPrinter::~DemoPrinter() {
    if (state_->connected) {
        routePort("COM1", "");
    }
    state_->printer.stop();
}

bool DemoPrinter::connected() const {
    return state_->connected;
}

}  // namespace quillet
