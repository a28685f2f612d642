#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "emulator/kv31_emulator.h"
#include "link/line_reader.h"
#include "link/pause.h"
#include "link/reader_thread.h"
#include "link/receive_ring.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "link_test_support.h"
#include "ring_test_support.h"

namespace quillet {
namespace {

using namespace std::chrono_literals;
using test::emptyReceiveRing;
using test::eventually;
using test::takeLineWithin;

// The link against the emulated printer, as the main window uses it.
class LinkWithPrinter : public ::testing::Test {
  protected:
    void SetUp() override {
        closePort();
        emptyReceiveRing();
        ASSERT_TRUE(printer.start());
        routePort("COM1", printer.devicePath());
        ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
        ASSERT_TRUE(startReader());
    }
    void TearDown() override {
        closePort();
        routePort("COM1", "");
        printer.stop();
        emptyReceiveRing();
    }

    bool query(int line) {
        const std::string command = "RH" + std::to_string(line) + "\n";
        printer.clearReceived();
        return writeBytes(command.data(), command.size()) &&
               printer.waitForReceived(command.size(), 5s);
    }

    // The four reply lines as waitForLine gives them, "<none>" for each one missing.
    std::string reply(std::size_t capacity = kReplyLineCapacity) {
        std::string lines;
        std::string line(capacity, '\0');
        std::size_t length = 0;
        for (int i = 0; i < 4; ++i) {
            lines += waitForLine(line.data(), line.size(), length) ? line.substr(0, length)
                                                                   : std::string("<none>");
            lines += '|';
        }
        return lines;
    }

    kv31::Emulator printer;
};

TEST_F(LinkWithPrinter, AHeaderQueryIsAnsweredAtWirePace) {
    printer.setLine(2, 3, "Quillet at 9600");
    ASSERT_TRUE(query(2));
    EXPECT_EQ(reply(), "Header 2|font:    " + std::string(kv31::printerFontName(3)) +
                           "|text: |\"Quillet at 9600\"|");
    EXPECT_EQ(printer.received(), "RH2\n");
}

TEST_F(LinkWithPrinter, AnOverLongerLineThanTheRingBeforeTheReplyIsDropped) {
    printer.setPacing(false);
    kv31::Faults faults;
    faults.overlongLineBytes = 3 * ReceiveRing::kSize;
    printer.setFaults(faults);
    ASSERT_TRUE(query(1));
    EXPECT_EQ(takeLineWithin(10s, kShortLineCapacity), "Header 1");
    EXPECT_EQ(takeLineWithin(5s, kShortLineCapacity).rfind("font:", 0), 0u);
}

TEST_F(LinkWithPrinter, AfterAFloodADrainLetsTheNextAnswerReadBack) {
    printer.setPacing(false);
    printer.send(std::string(3 * ReceiveRing::kSize, 'x') + "\r\nstale\r\n");
    ASSERT_TRUE(eventually([] { return receiveRing().unreadCount() > 0; }));
    drainLines(kShortLineCapacity);
    EXPECT_EQ(receiveRing().unreadCount(), 0u);

    ASSERT_TRUE(query(4));
    EXPECT_EQ(reply().rfind("Header 4|font:    ", 0), 0u);
}

// The drain ends in the middle of a line that never ends; what it leaves behind is thrown
// away with the rest of it, so the next reply starts a line of its own.
TEST_F(LinkWithPrinter, ADrainThatEndsInsideAnEndlessLineLetsTheNextAnswerReadBack) {
    printer.setPacing(false);
    printer.send(std::string(3 * ReceiveRing::kSize, 'x'));
    ASSERT_TRUE(eventually([] { return receiveRing().unreadCount() > 0; }));
    drainLines(kShortLineCapacity);

    ASSERT_TRUE(query(4));
    EXPECT_EQ(reply().rfind("Header 4|font:    ", 0), 0u);
}

// The drain's pauses, taken for real; a drain that went on for ever is stopped by
// silencing the printer, and shows in the count.
kv31::Emulator* talkingPrinter = nullptr;
int drainPauses = 0;

void countAndPause(int milliseconds) {
    if (++drainPauses == 40) {
        talkingPrinter->setFaults({});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

TEST_F(LinkWithPrinter, ADrainEndsThoughThePrinterSendsAStatusLineEvery100Ms) {
    kv31::Faults faults;
    faults.chatterIntervalMs = 100;
    printer.setFaults(faults);
    EXPECT_EQ(takeLineWithin(5s), kv31::kChatterLine);
    std::this_thread::sleep_for(150ms);

    talkingPrinter = &printer;
    drainPauses = 0;
    const PauseHook previous = setPauseHook(countAndPause);
    drainLines(kShortLineCapacity);
    setPauseHook(previous);
    EXPECT_GE(drainPauses, 2);
    EXPECT_LE(drainPauses, kDrainPausedLines);
    talkingPrinter = nullptr;
}

TEST_F(LinkWithPrinter, APrinterUnpluggedInAReplyEndsOnlyThatReply) {
    kv31::Faults faults;
    faults.vanishAfterReplyBytes = 12;  // "Header 3" CR LF and a little more
    printer.setFaults(faults);
    ASSERT_TRUE(query(3));
    EXPECT_EQ(takeLineWithin(5s), "Header 3");
    EXPECT_TRUE(eventually([] { return !writeBytes("x", 1); }));

    test::PauseRecorder pauses;
    char line[kReplyLineCapacity];
    std::size_t length = 0;
    EXPECT_FALSE(waitForLine(line, sizeof line, length));
    closePort();
    EXPECT_EQ(openPort("COM1", 9600), kPortCannotOpen);
}

}  // namespace
}  // namespace quillet
