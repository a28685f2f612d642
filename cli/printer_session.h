#pragma once

#include <string>
#include <string_view>

#include "protocol/header_record.h"

namespace kv31cli {

// One exchange with the printer, as Quillet holds one: the port opened, the mode-5
// command sent and the reader started; at the end the mode-1 command, its pause and the
// port closed, on every way out (close, or the destructor after an early return).
class PrinterSession {
  public:
    PrinterSession() = default;
    ~PrinterSession();
    PrinterSession(const PrinterSession&) = delete;
    PrinterSession& operator=(const PrinterSession&) = delete;

    // An exit code: kExitDone when the printer can be talked to.
    int open(const std::string& port);
    // Mode 1, its pause, the port closed; harmless when nothing is open.
    void close();

    // One command, whole in one write; false when it did not go out.
    bool send(std::string_view bytes);
    // Mode 5 and a drain of what waits, before Quillet's buttons' exchanges; the drain
    // takes lines of up to capacity bytes.
    void prepareExchange(std::size_t capacity);
    // The header query and its reply.
    bool readLine(int line, quillet::HeaderRecord& record);

  private:
    bool open_ = false;
};

// A header line as the printer reports it: its font index and every byte of its text.
struct LineContent {
    int font = 0;
    std::string text;

    bool operator==(const LineContent&) const = default;
};

LineContent contentOf(const quillet::HeaderRecord& record);

// What a header write command asks the printer to store; false for bytes that are none.
bool contentOfWrite(std::string_view command, int& line, LineContent& content);

}  // namespace kv31cli
