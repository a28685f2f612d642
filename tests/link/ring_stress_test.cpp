#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "link/line_reader.h"
#include "link/receive_ring.h"

namespace quillet {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDeadline = std::chrono::seconds(120);

// 251 is prime, so a lost, doubled or reordered byte breaks the pattern.
unsigned char patternByte(std::size_t i) {
    return static_cast<unsigned char>(i % 251);
}

TEST(ReceiveRingStress, EveryByteArrivesOnceAndInOrder) {
    constexpr std::size_t kBytes = 2'000'000;
    ReceiveRing ring;
    std::atomic<bool> giveUp{false};
    const auto deadline = Clock::now() + kDeadline;

    std::thread producer([&] {
        for (std::size_t i = 0; i < kBytes && !giveUp.load(); ++i) {
            while (!ring.tryPush(patternByte(i)) && !giveUp.load()) {
                std::this_thread::yield();
            }
        }
    });

    std::size_t received = 0;
    std::size_t mismatches = 0;
    while (received < kBytes && Clock::now() < deadline) {
        const std::size_t write = ring.writeIndex();
        std::size_t read = ring.readIndex();
        if (read == write) {
            std::this_thread::yield();
            continue;
        }
        // Take a few bytes at a time, like lines of varying length.
        const std::size_t chunk = 1 + received % 37;
        for (std::size_t n = 0; n < chunk && read != write; ++n) {
            mismatches += ring.byteAt(read) != patternByte(received) ? 1 : 0;
            ++received;
            read = ReceiveRing::next(read);
        }
        ring.releaseTo(read);
    }
    giveUp.store(true);
    producer.join();

    EXPECT_EQ(received, kBytes);
    EXPECT_EQ(mismatches, 0u);
    EXPECT_EQ(ring.unreadCount(), 0u);
}

TEST(ReceiveRingStress, TakeLineSeesEveryLineOnceAndInOrder) {
    constexpr unsigned kLines = 150'000;
    ReceiveRing ring;
    LineReader reader{ring};
    std::atomic<bool> giveUp{false};
    const auto deadline = Clock::now() + kDeadline;

    std::thread producer([&] {
        char text[16];
        for (unsigned n = 0; n < kLines && !giveUp.load(); ++n) {
            const int length = std::snprintf(text, sizeof text, "%u\r\n", n);
            for (int i = 0; i < length && !giveUp.load(); ++i) {
                while (!ring.tryPush(static_cast<unsigned char>(text[i])) && !giveUp.load()) {
                    std::this_thread::yield();
                }
            }
        }
    });

    unsigned expected = 0;
    unsigned wrong = 0;
    char line[16];
    std::size_t length = 0;
    while (expected < kLines && Clock::now() < deadline) {
        if (!reader.takeLine(line, sizeof line, length)) {
            std::this_thread::yield();
            continue;
        }
        wrong += std::strtoul(line, nullptr, 10) != expected ? 1 : 0;
        ++expected;
    }
    giveUp.store(true);
    producer.join();

    EXPECT_EQ(expected, kLines);
    EXPECT_EQ(wrong, 0u);
}

}  // namespace
}  // namespace quillet
