#include "link/receive_ring.h"

namespace quillet {

bool ReceiveRing::tryPush(unsigned char byte) {
    const std::size_t write = write_.load(std::memory_order_relaxed);
    const std::size_t after = next(write);
    // Acquire: the consumer has finished reading a slot before it gives it back.
    if (after == read_.load(std::memory_order_acquire)) {
        return false;
    }
    bytes_[write] = byte;
    write_.store(after, std::memory_order_release);
    return true;
}

// The waiting flag and the read index are both sequentially consistent: either the
// consumer sees the flag and wakes the producer, or the producer sees the room.
bool ReceiveRing::waitForRoom(const std::atomic<bool>& stop) {
    std::unique_lock<std::mutex> hold(roomMutex_);
    producerWaiting_.store(true);
    const auto roomOrStop = [&] {
        return stop.load() || next(write_.load(std::memory_order_relaxed)) != read_.load();
    };
    roomFreed_.wait(hold, roomOrStop);
    producerWaiting_.store(false);
    return !stop.load();
}

void ReceiveRing::wakeProducer() {
    { const std::lock_guard<std::mutex> hold(roomMutex_); }
    roomFreed_.notify_all();
}

void ReceiveRing::releaseTo(std::size_t index) {
    read_.store(index % kSize);
    if (producerWaiting_.load()) {
        wakeProducer();
    }
}

std::size_t ReceiveRing::unreadCount() const {
    return (writeIndex() + kSize - readIndex()) % kSize;
}

ReceiveRing& receiveRing() {
    static ReceiveRing ring;
    return ring;
}

}  // namespace quillet
