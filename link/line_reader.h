#pragma once

#include <cstddef>

namespace quillet {

// The printer's reply lines through 50-byte buffers, as the protocol was designed.
inline constexpr std::size_t kShortLineCapacity = 50;
// Wide enough for any reply line that carries a stored header text:
// 149 characters, two quotes, CR and the terminator.
inline constexpr std::size_t kReplyLineCapacity = 153;

// Starts the reader thread that moves received bytes into the receive ring.
bool startReader();

// Takes one complete line (LF dropped, a CR right before it dropped too) into buffer,
// zero-terminated. False when no complete line that fits is waiting.
bool takeLine(char* buffer, std::size_t capacity);

// Four tries of takeLine with a 500 ms pause after each failed one.
bool waitForLine(char* buffer, std::size_t capacity);

// Discards waiting complete lines, pausing 250 ms after each one taken.
void drainLines(std::size_t capacity);

}  // namespace quillet
