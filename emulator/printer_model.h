#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/kv31_emulator.h"

namespace kv31 {

// What the printer made of one command line.
struct CommandResult {
    std::string description;  // readable, for the command log
    int queriedLine = 0;      // 1 to 6 when the command was a header query
};

// The printer's memory and its reaction to complete command lines; no I/O.
class PrinterModel {
  public:
    PrinterModel();

    // One command without its LF (a CR right before the LF already dropped).
    CommandResult execute(std::string_view command);

    void restoreDefaults();
    bool setLine(int line, int printerFont, std::string text);
    const std::array<StoredLine, 6>& lines() const { return lines_; }
    char mode() const { return mode_; }
    const std::vector<std::vector<std::string>>& printedPages() const { return pages_; }

  private:
    CommandResult writeHeader(std::string_view command);
    void printLine(int line);
    void feed();
    void startPage();
    void addToPage(const std::string& printed);

    std::array<StoredLine, 6> lines_;
    char mode_ = 0;
    std::vector<std::vector<std::string>> pages_;
    bool lastWasFeed_ = true;
};

// Bytes made readable for a log: ESC as <ESC>, other controls as <xx> in hex.
std::string readableBytes(std::string_view bytes);

}  // namespace kv31
