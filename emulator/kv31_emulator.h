#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv31 {

// Ways to make the emulated printer misbehave, for the tests.
struct Faults {
    bool silent = false;                // answers nothing at all
    int silentLine = 0;                 // 1 to 6: no reply to that line's query; 0 none
    bool unknownFontName = false;       // reports a font name the protocol does not know
    int unknownFontLine = 0;            // 1 to 6: the same for that line's replies only
    std::string textBeforeHeader;       // any bytes, NUL included, put in front of "Header <n>"
    bool lfWithoutCr = false;           // ends reply lines with LF alone instead of CR LF
    std::string noiseBetweenReplies;    // sent after each reply, so it lies before the next
    std::size_t overlongLineBytes = 0;  // a line of that many characters before each reply
    int replyDelayMs = 0;               // pause before each reply
    int delayedLine = 0;                // 1 to 6: replyDelayMs for that line's replies only
    int replyLineGapMs = 0;             // pause between the lines of a reply
    int chatterIntervalMs = 0;          // sends a status line this often, unasked; 0 never
    bool deaf = false;                  // takes nothing it is sent, so writes to it back up
    int vanishAfterReplyBytes = -1;     // close the device once that many reply bytes went out
                                        // (counted from setFaults); -1 never
    int misstoredLine = 0;              // 1 to 6: a write to that line is stored with the last
                                        // byte of its text changed (an empty text as "x"), as
                                        // a worn memory cell would; 0 none
};

// The status line a chatting printer sends, before its line end.
inline constexpr const char* kChatterLine = "KV-31 status: ready";

struct StoredLine {
    int printerFont = 6;  // 1 to 7
    std::string text;
};

// Plays the KV-31 on the master side of a pseudo-terminal (or on a real serial device).
class Emulator {
  public:
    Emulator();
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // Opens a pseudo-terminal and starts serving it. False if none can be had or if
    // the emulator is already serving.
    bool start();
    // Serves a real serial device instead (a null-modem cable), 9600 8N1 raw.
    bool startOnDevice(const std::string& path);
    // Ends serving and closes the device; returns at once, also in the middle of a reply.
    void stop();

    // The path a client opens: the pseudo-terminal's slave side, or the device.
    std::string devicePath() const;

    // 9600-baud 8N1 pacing of what it sends (about 1.04 ms a byte); on by default.
    void setPacing(bool on);
    void setFaults(const Faults& faults);

    // Sends raw bytes (noise, floods, over-long lines) after anything already queued,
    // paced like any reply.
    void send(const std::string& bytes);
    // How many bytes queued by replies, chatter and send have not gone out yet.
    std::size_t unsentBytes() const;
    // Closes the device now, as if the printer were unplugged. Serving ends.
    void vanish();

    // The last bytes received, in order: all of them up to kReceivedTail bytes, so that
    // a flood cannot grow the emulator without bound.
    static constexpr std::size_t kReceivedTail = std::size_t{256} * 1024;
    std::string received() const;
    // How many bytes were received in all since the start or clearReceived.
    std::size_t receivedCount() const;
    void clearReceived();
    // Waits until at least count bytes have been received in all; false on time-out.
    bool waitForReceived(std::size_t count, std::chrono::milliseconds timeout) const;

    std::array<StoredLine, 6> lines() const;
    // Line 1 to 6, printer font 1 to 7; anything else changes nothing.
    void setLine(int line, int printerFont, const std::string& text);
    void restoreDefaults();

    // The last mode switch received ('1' or '5'), or 0 before any.
    char mode() const;
    // Each test page printed: the lines printed by print-header commands, and feeds as "".
    // The last 64 pages, each up to its first 64 lines.
    std::vector<std::vector<std::string>> printedPages() const;

    // Called with a readable description of each command received; may be empty.
    // Runs on the serving thread, before waitForReceived sees the command's bytes; it holds
    // up serving for as long as it takes, so it must not block.
    void setCommandLog(std::function<void(const std::string&)> log);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The printer's own name of printer font 1 to 7, as it reports it after "font:    ";
// "" for any other number.
const char* printerFontName(int printerFont);

}  // namespace kv31
