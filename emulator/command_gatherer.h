#pragma once

#include <cstddef>
#include <string>

namespace kv31 {

// Gathers the host's bytes into commands, one per line feed, a CR right before it dropped.
// A command longer than kMaxCommandBytes is no command of the printer's: it is dropped
// whole, never carried out cut short.
class CommandGatherer {
  public:
    static constexpr std::size_t kMaxCommandBytes = 4096;

    enum class Step { Gathering, Command, TooLong };

    // At Step::Command, command() holds the command until the next byte is taken.
    Step take(char c);
    const std::string& command() const { return command_; }

    // Forgets a half-received command.
    void clear();

  private:
    std::string command_;
    bool tooLong_ = false;
    bool ended_ = false;
};

}  // namespace kv31
