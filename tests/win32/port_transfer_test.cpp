// writeBytes, readByte, the reader thread and the receive ring over Wine's COM1.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/receive_ring.h"
#include "link/serial_port.h"
#include "protocol/printer_commands.h"
#include "tests/win32/win32_test_support.h"

namespace quillet::wine {
namespace {

class PortTransfer : public EmulatorTest {};

TEST_F(PortTransfer, BytesTravelBothWays) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    EXPECT_TRUE(startReader());  // already running

    ASSERT_TRUE(writeBytes(kMode5Command.data(), kMode5Command.size()));
    ASSERT_TRUE(emulator().await(kMode5Command.size(), 5000));
    EXPECT_EQ(emulator().received(), kMode5Command);
    EXPECT_EQ(emulator().mode(), '5');
    EXPECT_TRUE(writeBytes("", 0));

    ASSERT_TRUE(emulator().send("Header 1\r\nfont:    Bold\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "Header 1");
    EXPECT_EQ(takeLineWithin(5s), "font:    Bold");
}

// Flow control, echo or line-end translation left on in the driver would change these.
TEST_F(PortTransfer, EveryByteValueTravelsUntranslated) {
    spoilDriverSettings("COM1");
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(emulator().pacing(false));
    ASSERT_TRUE(startReader());

    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i) {
        all[static_cast<std::size_t>(i)] = static_cast<char>(i);
    }
    ASSERT_TRUE(writeBytes(all.data(), all.size()));
    ASSERT_TRUE(emulator().await(all.size(), 5000));
    EXPECT_EQ(emulator().received(), all);

    // As one line, zero included: no line feed but the last.
    std::string line;
    for (int i = 0; i < 256; ++i) {
        if (i != '\n') {
            line += static_cast<char>(i);
        }
    }
    ASSERT_TRUE(emulator().send(line + "\n"));
    EXPECT_EQ(takeLineWithin(5s, 300), line);
}

TEST_F(PortTransfer, AWriteLargerThanTheDriverQueueBlocksUntilAllIsSent) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    std::string big(100'000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>('A' + i % 23);
    }
    EXPECT_TRUE(writeBytes(big.data(), big.size()));
    ASSERT_TRUE(emulator().await(big.size(), 20000));
    EXPECT_TRUE(emulator().received() == big);
}

// The far end stops reading: once the driver's queue is full, a write gives up within its
// limit and says so; when the far end reads again, so does the port.
TEST_F(PortTransfer, AWriteThatCannotGoOutGivesUpAndThePortWritesOnLater) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(emulator().fault("deaf", 1));
    const std::string chunk = std::string(255, 'w') + "\n";
    int written = 0;
    while (written < 4000 && writeBytes(chunk.data(), chunk.size())) {
        ++written;
    }
    EXPECT_LT(written, 4000);  // a megabyte: far more than the driver holds
    ASSERT_TRUE(emulator().fault("deaf", 0));
    // A line end first: the cancelled write may have left half a line.
    ASSERT_TRUE(writeBytes("\n", 1));
    ASSERT_TRUE(writeBytes(kMode5Command.data(), kMode5Command.size()));
    EXPECT_TRUE(eventually([] { return emulator().mode() == '5'; }));
}

TEST_F(PortTransfer, OpeningDiscardsWhatWaitedOnTheLine) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(emulator().send("stale\n"));
    std::this_thread::sleep_for(300ms);  // it lies in the driver, with no reader to take it
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(emulator().send("fresh\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "fresh");
}

TEST_F(PortTransfer, ReadByteTakesOneByteAndFailsOnceTheDeviceVanishes) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(emulator().send("Zq"));
    unsigned char byte = 0;
    ASSERT_TRUE(readByte(byte));
    EXPECT_EQ(byte, 'Z');
    ASSERT_TRUE(readByte(byte));
    EXPECT_EQ(byte, 'q');

    REQUEST_OR_SKIP("vanish");
    EXPECT_FALSE(readByte(byte));
    EXPECT_FALSE(readByte(byte));
    EXPECT_FALSE(writeBytes("x", 1));
}

TEST_F(PortTransfer, TheReaderSurvivesAVanishedDeviceAndStopsOnClose) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(emulator().send("last\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "last");
    REQUEST_OR_SKIP("vanish");
    std::this_thread::sleep_for(200ms);  // the reader meets failed reads meanwhile
    closePort();
    EXPECT_FALSE(writeBytes("x", 1));
}

// The reader waits in a pending overlapped read; closing must cut it short.
TEST_F(PortTransfer, ClosingStopsAReaderThatWaitsForBytes) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    std::this_thread::sleep_for(20ms);
    closePort();
    EXPECT_FALSE(writeBytes("x", 1));
    EXPECT_FALSE(startReader());

    // No read of the old reader is left pending on the device: the next one gets all.
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(emulator().send("after\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "after");
}

TEST_F(PortTransfer, OpenCloseOpenReadsAndWritesAgain) {
    for (int round = 1; round <= 5; ++round) {
        ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
        ASSERT_TRUE(startReader());
        const std::string line = "round " + std::to_string(round);
        ASSERT_TRUE(emulator().send(line + "\r\n"));
        EXPECT_EQ(takeLineWithin(5s), line);
        ASSERT_TRUE(emulator().clear());
        ASSERT_TRUE(writeBytes("M5\n", 3));
        ASSERT_TRUE(emulator().await(3, 5000));
        EXPECT_EQ(emulator().received(), "M5\n");
        closePort();
    }
}

TEST_F(PortTransfer, AFullRingMakesTheReaderWaitAndNothingIsLost) {
    constexpr int kLines = 500;
    std::string burst;
    for (int n = 0; n < kLines; ++n) {
        char text[16];
        std::snprintf(text, sizeof text, "line%04d\n", n);
        burst += text;
    }
    ASSERT_GT(burst.size(), ReceiveRing::kSize);
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(emulator().pacing(false));
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(emulator().send(burst));

    EXPECT_TRUE(
        eventually([] { return receiveRing().unreadCount() == ReceiveRing::kMaxUnread; }, 10s));
    int taken = 0;
    for (; taken < kLines; ++taken) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "line%04d", taken);
        const std::string line = takeLineWithin(5s);
        if (line != expected) {
            ADD_FAILURE() << "line " << taken << " came as " << line;
            break;
        }
    }
    EXPECT_EQ(taken, kLines);
}

TEST_F(PortTransfer, AFloodLongerThanTheRingDoesNotStopReception) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(emulator().pacing(false));
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(emulator().flood(10'000));
    ASSERT_TRUE(emulator().send("\r\nHeader 1\r\n"));
    EXPECT_EQ(takeLineWithin(15s, kShortLineCapacity), "Header 1");
}

}  // namespace
}  // namespace quillet::wine
