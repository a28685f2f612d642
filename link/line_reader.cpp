#include "link/line_reader.h"

#include "link/pause.h"
#include "link/reader_thread.h"
#include "link/receive_ring.h"

namespace quillet {

namespace {

struct LineScan {
    bool complete = false;   // a line feed was found
    std::size_t length = 0;  // bytes before the line feed, or all bytes scanned
    std::size_t end = 0;     // index just past the line feed, or where the scan stopped
};

// Scans from the read index, not beyond limit (a write index seen earlier or now).
LineScan scanLine(const ReceiveRing& ring, std::size_t limit) {
    LineScan scan;
    std::size_t index = ring.readIndex();
    while (index != limit) {
        const unsigned char byte = ring.byteAt(index);
        index = ReceiveRing::next(index);
        if (byte == '\n') {
            scan.complete = true;
            break;
        }
        ++scan.length;
    }
    scan.end = index;
    return scan;
}

// Copies the line and gives its length without a CR that ends it.
std::size_t copyLine(const ReceiveRing& ring, std::size_t length, char* buffer) {
    std::size_t index = ring.readIndex();
    for (std::size_t i = 0; i < length; ++i) {
        buffer[i] = static_cast<char>(ring.byteAt(index));
        index = ReceiveRing::next(index);
    }
    if (length > 0 && buffer[length - 1] == '\r') {
        --length;
    }
    buffer[length] = '\0';
    return length;
}

}  // namespace

// Finishes dropping an over-long line whose head is gone already.
LineReader::Step LineReader::dropRest(std::size_t limit) {
    const LineScan scan = scanLine(ring_, limit);
    if (scan.complete) {
        droppingLine_ = false;
    }
    if (scan.end == ring_.readIndex()) {
        return Step::None;
    }
    ring_.releaseTo(scan.end);
    return Step::Dropped;
}

// One step of the line reader: takes one line, drops (part of) one over-long line, or
// finds nothing to do. A null buffer discards the line instead of copying it.
LineReader::Step LineReader::nextLine(char* buffer, std::size_t capacity, std::size_t& length,
                                      std::size_t limit) {
    if (droppingLine_) {
        return dropRest(limit);
    }
    const LineScan scan = scanLine(ring_, limit);
    const bool fits = scan.length < capacity;
    if (scan.complete) {
        if (fits && buffer != nullptr) {
            length = copyLine(ring_, scan.length, buffer);
        }
        ring_.releaseTo(scan.end);
        return fits ? Step::Taken : Step::Dropped;
    }
    // Too long already, or filling the whole ring: it can never be taken, and keeping it
    // would leave the reader no room for its line feed.
    if (scan.length > 0 && (!fits || scan.length >= ReceiveRing::kMaxUnread)) {
        droppingLine_ = true;
        ring_.releaseTo(scan.end);
        return Step::Dropped;
    }
    return Step::None;
}

LineReader::Step LineReader::discardLine(std::size_t capacity, std::size_t limit) {
    std::size_t unused = 0;
    return nextLine(nullptr, capacity, unused, limit);
}

bool LineReader::takeLine(char* buffer, std::size_t capacity, std::size_t& length) {
    length = 0;
    if (buffer == nullptr || capacity == 0) {
        return false;
    }
    buffer[0] = '\0';
    return nextLine(buffer, capacity, length, ring_.writeIndex()) == Step::Taken;
}

bool LineReader::waitForLine(char* buffer, std::size_t capacity, std::size_t& length) {
    for (int attempt = 0; attempt < kLineTries; ++attempt) {
        if (takeLine(buffer, capacity, length)) {
            return true;
        }
        pause(kLineRetryPauseMs);
    }
    return false;
}

// A printer that keeps talking would keep a drain that pauses after every line going for
// ever, so only the first lines get their pause.
void LineReader::drainLines(std::size_t capacity) {
    for (int paused = 0; paused < kDrainPausedLines; ++paused) {
        if (discardLine(capacity, ring_.writeIndex()) == Step::None) {
            return;
        }
        pause(kDrainPauseMs);
    }
    discardWaitingLines(capacity);
}

// Bounded by what the ring holds now, however fast more comes.
void LineReader::discardWaitingLines(std::size_t capacity) {
    const std::size_t limit = ring_.writeIndex();
    while (discardLine(capacity, limit) != Step::None) {
    }
}

LineReader& lineReader() {
    static LineReader reader(receiveRing());
    return reader;
}

bool takeLine(char* buffer, std::size_t capacity, std::size_t& length) {
    return lineReader().takeLine(buffer, capacity, length);
}

bool waitForLine(char* buffer, std::size_t capacity, std::size_t& length) {
    return lineReader().waitForLine(buffer, capacity, length);
}

// Behind a full ring the driver may hold far more than the drain took.
void drainLines(std::size_t capacity) {
    lineReader().drainLines(capacity);
    discardReceived();
}

void discardWaitingLines(std::size_t capacity) {
    lineReader().discardWaitingLines(capacity);
}

}  // namespace quillet
