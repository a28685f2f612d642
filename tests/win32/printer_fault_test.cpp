// The printer misbehaving behind Wine's COM1: silence, a vanishing device, an over-long
// line, a flood. Each readback stays bounded, and the link recovers.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/serial_port.h"
#include "protocol/header_readback.h"
#include "protocol/printer_commands.h"
#include "tests/win32/win32_test_support.h"

namespace quillet::wine {
namespace {

class PrinterFault : public EmulatorTest {
  protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        openAndStart();
    }
    static void openAndStart() {
        ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
        ASSERT_TRUE(writeBytes(kMode5Command.data(), kMode5Command.size()));
        ASSERT_TRUE(emulator().await(kMode5Command.size(), 5000));
        ASSERT_TRUE(startReader());
    }
};

HeaderRecord recordOf(int font, const char* text) {
    HeaderRecord record;
    record.font = font;
    std::strncpy(record.text, text, sizeof record.text - 1);
    return record;
}

TEST_F(PrinterFault, ASilentPrinterFailsTheReadbackAndLeavesTheRecord) {
    ASSERT_TRUE(emulator().fault("silent", 1));
    HeaderRecord record = recordOf(2, "kept");
    EXPECT_FALSE(readHeader(2, record));
    EXPECT_EQ(record.font, 2);
    EXPECT_STREQ(record.text, "kept");

    ASSERT_TRUE(emulator().fault("silent", 0));
    EXPECT_TRUE(readHeader(2, record));
}

TEST_F(PrinterFault, NoReplyToOneLineFailsOnlyThatLine) {
    ASSERT_TRUE(emulator().fault("silentLine", 4));
    HeaderRecord record;
    EXPECT_FALSE(readHeader(4, record));
    EXPECT_TRUE(readHeader(5, record));
}

TEST_F(PrinterFault, TheDeviceVanishingInAReplyFailsTheReadbackUntilItIsBack) {
    REQUEST_OR_SKIP("fault vanishAfterReplyBytes 15");
    HeaderRecord record = recordOf(1, "kept");
    EXPECT_FALSE(readHeader(1, record));
    EXPECT_STREQ(record.text, "kept");
    EXPECT_FALSE(writeBytes("x", 1));
    closePort();

    // Wine still opens the port's driver object; Windows finds no device at all.
    const int code = openPort("COM1", 9600);
    EXPECT_EQ(code, runningUnderWine() ? kPortSettingsUnreadable : kPortCannotOpen);
    closePort();

    std::string why;
    ASSERT_TRUE(emulator().request("reset", &why)) << why;
    ASSERT_TRUE(emulator().request("hello", &why)) << why;
    emptyReceiveRing();
    openAndStart();
    EXPECT_TRUE(readHeader(1, record));
    EXPECT_STRNE(record.text, "kept");
}

TEST_F(PrinterFault, AnOverLongLineBeforeEachReplyIsDropped) {
    ASSERT_TRUE(emulator().setLine(2, 2, "behind the long line"));
    ASSERT_TRUE(emulator().fault("overlongLineBytes", 300));
    HeaderRecord record;
    ASSERT_TRUE(readHeader(2, record));
    EXPECT_STREQ(record.text, "behind the long line");
}

// As at start-up: nothing is drained between the readbacks.
TEST_F(PrinterFault, OneBadReplyFailsItsLineAlone) {
    ASSERT_TRUE(emulator().fault("unknownFontLine", 1));
    HeaderRecord record;
    EXPECT_FALSE(readHeader(1, record));
    for (int line = 2; line <= 6; ++line) {
        EXPECT_TRUE(readHeader(line, record)) << "line " << line;
    }
}

// As the main window drains before a readback, whatever came before.
TEST_F(PrinterFault, AfterAFloodAndADrainTheNextAnswerReadsBack) {
    ASSERT_TRUE(emulator().pacing(false));
    ASSERT_TRUE(emulator().flood(6000));
    ASSERT_TRUE(emulator().send("\r\nflood over\r\n"));
    EXPECT_EQ(takeLineWithin(15s, kReplyLineCapacity), "flood over");
    drainLines(kReplyLineCapacity);

    ASSERT_TRUE(emulator().setLine(3, 4, "after the flood"));
    HeaderRecord record;
    ASSERT_TRUE(readHeader(3, record));
    EXPECT_STREQ(record.text, "after the flood");
}

}  // namespace
}  // namespace quillet::wine
