#pragma once

#include <cstddef>

namespace quillet {

class ReceiveRing;

// The printer's reply lines through 50-byte buffers, as the protocol was designed.
inline constexpr std::size_t kShortLineCapacity = 50;
// Wide enough for any reply line that carries a stored header text:
// 149 characters, two quotes, CR and the terminator.
inline constexpr std::size_t kReplyLineCapacity = 153;

// Pauses of the line reader, in milliseconds.
inline constexpr int kLineRetryPauseMs = 500;
inline constexpr int kDrainPauseMs = 250;
inline constexpr int kLineTries = 4;
// A drain pauses after at most this many lines (2 s); then it sweeps what is waiting and ends.
inline constexpr int kDrainPausedLines = 8;

// Takes one complete line (LF dropped, a CR right before it dropped too) into buffer and
// sets length to its byte count; every byte value, NUL included, is part of the line, and a
// zero follows it in the buffer. False when no complete line that fits is waiting.
// A line of capacity or more bytes before its LF is never taken: it is dropped whole,
// so that the lines behind it can be taken by the next calls.
bool takeLine(char* buffer, std::size_t capacity, std::size_t& length);

// Four tries of takeLine with a 500 ms pause after each failed one.
bool waitForLine(char* buffer, std::size_t capacity, std::size_t& length);

// Discards waiting lines (and over-long ones), pausing 250 ms after each of the first
// eight; then it discards, without pausing, the complete lines already in the ring and
// ends, so it ends however fast the printer keeps talking. Over the process's ring it
// then discards whatever else was received (discardReceived).
void drainLines(std::size_t capacity);

// Discards, without pausing, the complete lines (and over-long ones) in the ring now;
// a partial line stays, and so does whatever arrives meanwhile.
void discardWaitingLines(std::size_t capacity);

// The line reader over one ring, used on the ring's consumer thread: the functions above
// are those of the process's reader. Its one state is an over-long line whose head is gone
// already, so that everything up to its line feed is dropped too.
class LineReader {
  public:
    explicit LineReader(ReceiveRing& ring) : ring_(ring) {}

    bool takeLine(char* buffer, std::size_t capacity, std::size_t& length);
    bool waitForLine(char* buffer, std::size_t capacity, std::size_t& length);
    void drainLines(std::size_t capacity);
    void discardWaitingLines(std::size_t capacity);

    // The ring was emptied under the reader: the next byte starts a line.
    void startAfresh() { droppingLine_ = false; }

  private:
    enum class Step { Taken, Dropped, None };

    Step nextLine(char* buffer, std::size_t capacity, std::size_t& length, std::size_t limit);
    Step dropRest(std::size_t limit);
    Step discardLine(std::size_t capacity, std::size_t limit);

    ReceiveRing& ring_;
    bool droppingLine_ = false;
};

// The reader of the process's ring.
LineReader& lineReader();

}  // namespace quillet
