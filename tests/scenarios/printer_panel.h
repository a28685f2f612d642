#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quillet::scenario {

// The emulated KV-31 as the scenarios see it: a fresh printer behind COM1 with the maker's
// six lines, paced at 9600 baud; COM2 leads to no device. On Linux the emulator runs in
// this process; under Wine the runner serves it. Each backend defines it in its own file.
class PrinterPanel {
  public:
    PrinterPanel();
    ~PrinterPanel();
    PrinterPanel(const PrinterPanel&) = delete;
    PrinterPanel& operator=(const PrinterPanel&) = delete;

    // False when there is no printer to run against.
    bool ready() const { return ready_; }

    // Stores line 1 to 6 with printer font 1 to 7, as if written earlier.
    void setLine(int line, int printerFont, std::string_view text);
    // Every byte received so far, once at least atLeast have come (or a few seconds).
    std::string received(std::size_t atLeast = 0);
    // Whether a program has the printer's port open.
    bool portHeld();

  private:
    struct State;
    std::unique_ptr<State> state_;
    bool ready_ = false;
};

}  // namespace quillet::scenario
