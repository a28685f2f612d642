#pragma once

// The Windows side of the runner's control connection: drives the emulated printer
// behind COM1. Requests (words separated by spaces, byte strings in hex):
//   hello                  the runner checks that COM1 leads to the emulator
//   reset                  a fresh printer on a new pseudo-terminal behind COM1: no
//                          faults, pacing on, the default lines, nothing received
//   pacing 0|1             9600-baud pacing of what the printer sends
//   fault NAME VALUE       one field of kv31::Faults (text values in hex)
//   line N FONT [TEXT]     stores line N with printer font FONT
//   lines                  "FONT:TEXT" for lines 1 to 6
//   send BYTES | flood N   sends bytes; N bytes with no line end
//   received | clear       every byte received so far; forget them
//   await N MS             until N bytes have been received in all
//   mode                   the last mode switch, or 0
//   vanish                 closes the device, as if the printer were unplugged
//   holders                how many descriptors other processes have open on the device
//   capture NAME TITLE     (with the runner's --shots) saves the window titled TITLE (hex)
//                          as NAME.png

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::wine {

struct PrinterLine {
    int printerFont = 0;
    std::string text;
};

class EmulatorClient {
  public:
    static EmulatorClient& instance();

    // host:port as the runner passed it.
    bool connect(const std::string& hostPort, std::string& error);
    bool connected() const { return socket_ != kNoSocket; }

    // One request; true on an "ok" reply, whose rest goes to payload (or the error text).
    bool request(const std::string& line, std::string* payload = nullptr);

    bool reset() { return request("reset"); }
    bool pacing(bool on) { return request(on ? "pacing 1" : "pacing 0"); }
    bool fault(const std::string& name, long long value);
    bool faultText(const std::string& name, std::string_view text);
    bool setLine(int line, int printerFont, std::string_view text);
    bool lines(std::array<PrinterLine, 6>& out);
    bool send(std::string_view bytes);
    bool flood(std::size_t count);
    std::string received();
    bool clear() { return request("clear"); }
    bool await(std::size_t count, int milliseconds);
    char mode();
    // -1 when the runner cannot tell.
    int holders();

  private:
    static constexpr unsigned long long kNoSocket = ~0ull;
    bool sendLine(const std::string& line);
    bool receiveLine(std::string& line);

    unsigned long long socket_ = kNoSocket;
    std::string inbox_;
};

inline EmulatorClient& emulator() {
    return EmulatorClient::instance();
}

}  // namespace quillet::wine
