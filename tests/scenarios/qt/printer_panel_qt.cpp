// The printer on Linux: the emulator in this process on a pseudo-terminal, routed to COM1.
#include <chrono>
#include <filesystem>

#include "emulator/kv31_emulator.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "tests/scenarios/printer_panel.h"

namespace quillet::scenario {

struct PrinterPanel::State {
    kv31::Emulator emulator;
};

PrinterPanel::PrinterPanel() : state_(std::make_unique<State>()) {
    ready_ = state_->emulator.start();
    routePort("COM1", state_->emulator.devicePath());
    routePort("COM2", "/nonexistent/quillet-com2");
}

PrinterPanel::~PrinterPanel() {
    routePort("COM1", "");
    routePort("COM2", "");
    state_->emulator.stop();
}

void PrinterPanel::setLine(int line, int printerFont, std::string_view text) {
    state_->emulator.setLine(line, printerFont, std::string(text));
}

std::string PrinterPanel::received(std::size_t atLeast) {
    state_->emulator.waitForReceived(atLeast, std::chrono::seconds(5));
    return state_->emulator.received();
}

// The program runs in this process. The emulator keeps one descriptor on its own device
// (so that the line stays up between clients); any other is the program's port.
bool PrinterPanel::portHeld() {
    namespace fs = std::filesystem;
    const fs::path device = state_->emulator.devicePath();
    std::error_code unreadable;
    int descriptors = 0;
    for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd", unreadable)) {
        descriptors += fs::read_symlink(fd.path(), unreadable) == device ? 1 : 0;
    }
    return descriptors > 1;
}

}  // namespace quillet::scenario
