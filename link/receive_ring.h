#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace quillet {

// Single-producer single-consumer byte ring between the reader thread (producer) and the
// window thread (consumer). Each index is written by one side only; bytes are stored before
// the write index is published (release) and read after it is loaded (acquire). A producer
// that finds the ring full sleeps until the consumer gives room back or it is told to stop.
class ReceiveRing {
  public:
    static constexpr std::size_t kSize = 2048;
    // One slot stays free so that a full ring is told apart from an empty one.
    static constexpr std::size_t kMaxUnread = kSize - 1;

    static constexpr std::size_t next(std::size_t index) { return (index + 1) % kSize; }

    // Producer: stores one byte. False when the ring is full; nothing unread is overwritten.
    bool tryPush(unsigned char byte);
    // Producer: sleeps until there is room (true) or stop is set (false).
    bool waitForRoom(const std::atomic<bool>& stop);
    // Wakes a producer sleeping in waitForRoom, for it to look at its stop flag.
    void wakeProducer();

    // Consumer: the first byte not yet taken, and the end of what has been published.
    std::size_t readIndex() const { return read_.load(std::memory_order_relaxed); }
    std::size_t writeIndex() const { return write_.load(std::memory_order_acquire); }
    unsigned char byteAt(std::size_t index) const { return bytes_[index % kSize]; }
    std::size_t unreadCount() const;
    // Consumer: gives the bytes before index back to the producer, waking it if it waits.
    void releaseTo(std::size_t index);

  private:
    std::array<unsigned char, kSize> bytes_{};
    std::atomic<std::size_t> write_{0};
    std::atomic<std::size_t> read_{0};
    // The producer's sleep while the ring is full; the consumer takes the lock only when
    // the producer says it sleeps.
    std::atomic<bool> producerWaiting_{false};
    std::mutex roomMutex_;
    std::condition_variable roomFreed_;
};

// The process's one ring, filled by the reader thread; it lives as long as the process.
ReceiveRing& receiveRing();

}  // namespace quillet
