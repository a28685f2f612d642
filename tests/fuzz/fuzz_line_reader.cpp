// The line reader over arbitrary byte streams, pushed into a ring in arbitrary chunks
// and taken with arbitrary capacities. Input: a list of operations; an odd byte pushes
// the chunk of the length that follows, an even byte takes one line with the capacity
// that follows. A model of the accepted stream checks every call against the ring's
// read index, so it knows exactly which bytes each call consumed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/line_reader.h"
#include "link/receive_ring.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using quillet::ReceiveRing;
using quillet::fuzz::check;

class StreamModel {
  public:
    void accept(unsigned char byte) {
        stream_.push_back(static_cast<char>(byte));
        if (byte == '\n') {
            ends_.push_back(stream_.size());
        }
    }

    // Checks what one takeLine consumed; taken is the line it gave, or null.
    void consumed(std::size_t readIndex, std::size_t capacity, const std::string_view* taken) {
        const std::size_t read =
            read_ +
            (readIndex + ReceiveRing::kSize - read_ % ReceiveRing::kSize) % ReceiveRing::kSize;
        check(read <= stream_.size(), "the read index stays within what was received");
        bool takenFound = false;
        // Lines before the read index are settled already.
        for (; settled_ < ends_.size() && ends_[settled_] <= read; ++settled_) {
            const std::size_t end = ends_[settled_];
            const std::size_t start = lineStart(end - 1);
            const std::string_view raw(stream_.data() + start, end - 1 - start);
            if (taken != nullptr && end == read) {
                check(start == read_, "a line whose head was dropped is never taken");
                check(raw.size() < capacity, "a taken line fits its capacity");
                check(cooked(raw) == *taken, "the line taken is the line received, whole");
                takenFound = true;
            } else {
                check(start < read_ || tooLong(raw.size(), capacity),
                      "a complete line that fitted is never lost");
            }
        }
        check(takenFound == (taken != nullptr), "a taken line ends at the new read index");
        if (read > 0 && stream_[read - 1] != '\n') {
            // Part of a line was dropped: it must have been too long already.
            const std::size_t start = lineStart(read - 1);
            const std::size_t end = stream_.find('\n', start);
            const std::size_t present = (end == std::string::npos ? stream_.size() : end) - start;
            check(start < read_ || tooLong(present, capacity), "only over-long lines are dropped");
        }
        read_ = read;
    }

    std::size_t readPosition() const { return read_; }

    bool anyCompleteLineWaiting() const { return settled_ < ends_.size(); }

  private:
    // Too long for this capacity, or ever to be whole in the ring.
    static bool tooLong(std::size_t length, std::size_t capacity) {
        return length >= capacity || length >= ReceiveRing::kMaxUnread;
    }

    std::size_t lineStart(std::size_t position) const {
        const std::size_t lf = stream_.rfind('\n', position == 0 ? 0 : position - 1);
        return position == 0 || lf == std::string::npos ? 0 : lf + 1;
    }

    // What a taken line holds: the LF is gone already, and a CR right before it goes too;
    // every other byte, NUL included, stays.
    static std::string_view cooked(std::string_view raw) {
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        return raw;
    }

    std::string stream_;             // every byte the ring accepted
    std::vector<std::size_t> ends_;  // positions just past each LF
    std::size_t settled_ = 0;        // ends_ before this one lie before the read index
    std::size_t read_ = 0;           // position of the ring's read index
};

bool takeChecked(ReceiveRing& ring, quillet::LineReader& reader, StreamModel& model,
                 std::size_t capacity) {
    // Exactly capacity bytes, so any write past them is caught.
    const std::unique_ptr<char[]> buffer(new char[capacity]);
    std::size_t length = 0;
    const bool taken = reader.takeLine(buffer.get(), capacity, length);
    const std::string_view line(buffer.get(), length);
    if (taken) {
        check(length < capacity && buffer[length] == '\0',
              "a taken line is terminated inside its capacity");
    }
    model.consumed(ring.readIndex(), capacity, taken ? &line : nullptr);
    check(ring.unreadCount() <= ReceiveRing::kMaxUnread, "the ring never holds more than it can");
    return taken;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto ring = std::make_unique<ReceiveRing>();
    quillet::LineReader reader(*ring);
    StreamModel model;
    std::size_t at = 0;
    while (at + 1 < size) {
        const std::uint8_t operation = data[at++];
        // Up to 255, or up to the whole ring and past it with the high bit.
        const std::size_t argument = (operation & 0x80) ? data[at++] * std::size_t{16} : data[at++];
        if (operation & 1) {
            for (std::size_t i = 0; i < argument && at < size; ++i, ++at) {
                if (ring->tryPush(data[at])) {
                    model.accept(data[at]);
                }
            }
        } else {
            takeChecked(*ring, reader, model, argument);
        }
    }
    // Everything still waiting fits the whole ring: it must all come out.
    for (;;) {
        const std::size_t before = model.readPosition();
        if (!takeChecked(*ring, reader, model, ReceiveRing::kSize + 1) &&
            model.readPosition() == before) {
            break;
        }
    }
    check(!model.anyCompleteLineWaiting(), "every complete line is taken in the end");
    return 0;
}
