// The printer under Wine: the runner's emulator behind COM1, over its control connection.
#include "tests/scenarios/printer_panel.h"
#include "tests/win32/emulator_client.h"

namespace quillet::scenario {

using wine::emulator;

struct PrinterPanel::State {};

PrinterPanel::PrinterPanel() {
    ready_ = emulator().connected() && emulator().reset() && emulator().request("hello");
}

PrinterPanel::~PrinterPanel() = default;

void PrinterPanel::setLine(int line, int printerFont, std::string_view text) {
    emulator().setLine(line, printerFont, text);
}

std::string PrinterPanel::received(std::size_t atLeast) {
    emulator().await(atLeast, 5000);
    return emulator().received();
}

bool PrinterPanel::portHeld() {
    return emulator().holders() > 0;
}

}  // namespace quillet::scenario
