#pragma once

#include <memory>

namespace quillet {

// The demo's emulated KV-31 behind COM1, paced like the real wire, for as long as the object
// lives. Each platform defines it in its own file.
class DemoPrinter {
  public:
    DemoPrinter();
    ~DemoPrinter();
    DemoPrinter(const DemoPrinter&) = delete;
    DemoPrinter& operator=(const DemoPrinter&) = delete;

    // False when the printer cannot be wired (no pseudo-terminal, say).
    bool connected() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quillet
