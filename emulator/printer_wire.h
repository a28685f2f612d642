#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

#include "emulator/command_gatherer.h"
#include "emulator/printer_model.h"

namespace kv31 {

// The emulated KV-31 at the far end of a wire inside the process, paced at 9600 baud 8N1 in
// both directions: the printer's side of a port stand-in where no pseudo-terminal can be had.
// It answers as the emulator does without faults. Any thread may call it.
class PrinterWire {
  public:
    // Host to printer: returns once the bytes have crossed the wire; each command is carried
    // out when its line feed arrives.
    void send(const void* bytes, std::size_t count);
    // Printer to host: the next byte, once it has crossed the wire. False when interrupted.
    bool receive(unsigned char& out);
    // Makes a waiting and every later receive return false, until resume.
    void interrupt();
    void resume();
    // Forgets what the printer has not sent yet and any half-received command.
    void purge();
    // Forgets the bytes that have crossed the wire and wait to be received; those still on
    // their way come as sent.
    void discardArrived();

  private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        unsigned char byte;
        Clock::time_point arrives;
    };
    void takeByte(char c);

    std::mutex mutex_;
    std::condition_variable changed_;
    PrinterModel model_;
    CommandGatherer gatherer_;
    std::deque<Pending> toHost_;
    bool interrupted_ = false;
};

}  // namespace kv31
