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

std::size_t ReceiveRing::unreadCount() const {
    return (writeIndex() + kSize - readIndex()) % kSize;
}

ReceiveRing& receiveRing() {
    static ReceiveRing ring;
    return ring;
}

}  // namespace quillet
