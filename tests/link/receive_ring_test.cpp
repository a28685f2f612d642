#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "link/receive_ring.h"
#include "ring_test_support.h"

namespace quillet {
namespace {

using test::push;

TEST(ReceiveRing, HoldsAtMost2047UnreadBytesAndNeverOverwritesThem) {
    ReceiveRing ring;
    std::string sent;
    for (std::size_t i = 0; i < ReceiveRing::kMaxUnread; ++i) {
        sent.push_back(static_cast<char>('a' + i % 26));
    }
    ASSERT_TRUE(push(ring, sent));
    EXPECT_EQ(ring.unreadCount(), 2047u);
    EXPECT_FALSE(ring.tryPush('!'));
    EXPECT_FALSE(ring.tryPush('!'));

    std::string held;
    for (std::size_t i = ring.readIndex(); i != ring.writeIndex(); i = ReceiveRing::next(i)) {
        held.push_back(static_cast<char>(ring.byteAt(i)));
    }
    EXPECT_EQ(held, sent);

    // Room for exactly as many bytes as were given back.
    ring.releaseTo(ring.readIndex() + 2);
    EXPECT_TRUE(ring.tryPush('y'));
    EXPECT_TRUE(ring.tryPush('z'));
    EXPECT_FALSE(ring.tryPush('!'));
    EXPECT_EQ(ring.byteAt(ReceiveRing::kSize - 1), 'y');
    EXPECT_EQ(ring.byteAt(0), 'z');
}

TEST(ReceiveRing, IndicesWrapFrom2047ToZero) {
    ReceiveRing ring;
    for (std::size_t i = 0; i < ReceiveRing::kSize - 1; ++i) {
        ASSERT_TRUE(ring.tryPush('x'));
        ring.releaseTo(ring.writeIndex());
    }
    EXPECT_EQ(ring.writeIndex(), 2047u);
    ASSERT_TRUE(ring.tryPush('a'));
    EXPECT_EQ(ring.writeIndex(), 0u);
    EXPECT_EQ(ring.unreadCount(), 1u);
    EXPECT_EQ(ring.byteAt(ring.readIndex()), 'a');
    ring.releaseTo(ReceiveRing::next(ring.readIndex()));
    EXPECT_EQ(ring.readIndex(), 0u);
    EXPECT_EQ(ring.unreadCount(), 0u);
}

// A producer facing a full ring sleeps, and the consumer's release is what wakes it.
TEST(ReceiveRing, AProducerSleepsUntilRoomIsGivenBackOrItIsStopped) {
    ReceiveRing ring;
    ASSERT_TRUE(push(ring, std::string(ReceiveRing::kMaxUnread, 'x')));
    std::atomic<bool> stop{false};
    std::atomic<bool> pushed{false};
    bool wokeWithRoom = true;
    std::thread producer([&] {
        while (!ring.tryPush('z')) {
            if (!ring.waitForRoom(stop)) {
                return;
            }
        }
        pushed = true;
        wokeWithRoom = ring.waitForRoom(stop);  // full again
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(pushed);
    ring.releaseTo(ReceiveRing::next(ring.readIndex()));
    while (!pushed) {
        std::this_thread::yield();
    }
    stop = true;
    ring.wakeProducer();
    producer.join();
    EXPECT_FALSE(wokeWithRoom);
    EXPECT_EQ(ring.byteAt(ring.writeIndex() + ReceiveRing::kSize - 1), 'z');
}

}  // namespace
}  // namespace quillet
