// readHeader against the emulated printer over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "emulator/kv31_emulator.h"
#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/receive_ring.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "protocol/header_readback.h"
#include "protocol/printer_commands.h"
#include "tests/link/link_test_support.h"
#include "tests/link/ring_test_support.h"

namespace quillet {
namespace {

using namespace std::chrono_literals;

struct Expected {
    int font;
    const char* text;
};

// The maker's lines as the printer reports them: font indices, not printer numbers.
const Expected kDefaults[6] = {
    {3, "  Brellic Technology"},         {1, "        418 Larkspur Blvd"},
    {1, "        Springdale, ZZ 00000"}, {1, "        TEL: (555) 010-2000"},
    {1, "        FAX: (555) 010-2001"},  {2, "      Measured with Care"},
};

class HeaderReadback : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(printer.start());
        routePort("COM1", printer.devicePath());
        ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
        ASSERT_TRUE(startReader());
    }

    void TearDown() override {
        closePort();
        routePort("COM1", "");
        printer.stop();
    }

    // Writes a command as the main window would and waits until the printer has it.
    void send(std::string_view command) {
        const std::size_t before = printer.received().size();
        ASSERT_TRUE(writeBytes(command.data(), command.size()));
        ASSERT_TRUE(printer.waitForReceived(before + command.size(), 3s));
    }

    void expectAllDefaults() {
        for (int line = 1; line <= 6; ++line) {
            HeaderRecord record;
            ASSERT_TRUE(readHeader(line, record)) << "line " << line;
            EXPECT_EQ(record.font, kDefaults[line - 1].font) << "line " << line;
            EXPECT_STREQ(record.text, kDefaults[line - 1].text) << "line " << line;
        }
    }

    static HeaderRecord untouched() {
        HeaderRecord record;
        std::strcpy(record.text, "as it was");
        record.font = 4;
        return record;
    }

    static void expectUntouched(const HeaderRecord& record) {
        EXPECT_STREQ(record.text, "as it was");
        EXPECT_EQ(record.font, 4);
    }

    // As at start-up, with nothing drained between the readbacks: line 1 fails and is left as
    // it was, lines 2 to 6 load.
    static void expectOnlyLineOneFails() {
        HeaderRecord record = untouched();
        EXPECT_FALSE(readHeader(1, record));
        expectUntouched(record);
        for (int line = 2; line <= 6; ++line) {
            ASSERT_TRUE(readHeader(line, record)) << "line " << line;
            EXPECT_STREQ(record.text, kDefaults[line - 1].text);
        }
    }

    kv31::Emulator printer;
};

TEST_F(HeaderReadback, ReadsTheSixDefaultLines) {
    expectAllDefaults();
    EXPECT_EQ(printer.received(), "RH1\nRH2\nRH3\nRH4\nRH5\nRH6\n");
}

// 380 - 157 dots of "Springdale, ZZ 00000" in Arial Narrow 14 leave room for 31 spaces
// of 6 + 1 dots: 51 characters, more than a 50-byte reply line can carry.
TEST_F(HeaderReadback, ReadsBackALineRightAlignedInANarrowFont) {
    const std::string text = std::string(31, ' ') + "Springdale, ZZ 00000";
    send("H3,1,\"" + text + "\"\n");
    HeaderRecord record = untouched();
    ASSERT_TRUE(readHeader(3, record));
    EXPECT_EQ(record.font, 0);
    EXPECT_EQ(std::string(record.text), text);
}

TEST_F(HeaderReadback, ReadsBackTheLongestTextARecordHolds) {
    const std::string longest = std::string(130, ' ') + "Measured with Care.";
    ASSERT_EQ(longest.size(), 149u);
    printer.setLine(6, 7, longest);
    HeaderRecord record;
    ASSERT_TRUE(readHeader(6, record));
    EXPECT_EQ(record.font, 6);
    EXPECT_EQ(std::string(record.text), longest);

    kv31::Faults faults;
    faults.lfWithoutCr = true;
    printer.setFaults(faults);
    HeaderRecord again;
    ASSERT_TRUE(readHeader(6, again));
    EXPECT_EQ(std::string(again.text), longest);
}

TEST_F(HeaderReadback, RefusesATextLongerThanARecordHolds) {
    printer.setLine(2, 2, std::string(150, 'x'));
    HeaderRecord record = untouched();
    EXPECT_FALSE(readHeader(2, record));
    expectUntouched(record);
    drainLines(kReplyLineCapacity);
    HeaderRecord next;
    ASSERT_TRUE(readHeader(1, next));
    EXPECT_STREQ(next.text, kDefaults[0].text);
}

TEST_F(HeaderReadback, LineOutsideOneToSixSendsNothing) {
    HeaderRecord record = untouched();
    EXPECT_FALSE(readHeader(0, record));
    EXPECT_FALSE(readHeader(7, record));
    expectUntouched(record);
    EXPECT_FALSE(printer.waitForReceived(1, 300ms));
}

TEST_F(HeaderReadback, SilentPrinterFailsAfterOneBoundedWait) {
    kv31::Faults faults;
    faults.silent = true;
    printer.setFaults(faults);
    HeaderRecord record = untouched();
    test::PauseRecorder pauses;
    EXPECT_FALSE(readHeader(1, record));
    expectUntouched(record);
    EXPECT_EQ(pauses.taken(), std::vector<int>(kLineTries, kLineRetryPauseMs));
}

TEST_F(HeaderReadback, SilentLineLeavesTheOthersReadable) {
    kv31::Faults faults;
    faults.silentLine = 3;
    printer.setFaults(faults);
    HeaderRecord record;
    EXPECT_TRUE(readHeader(1, record));
    EXPECT_TRUE(readHeader(2, record));
    HeaderRecord third = untouched();
    EXPECT_FALSE(readHeader(3, third));
    expectUntouched(third);
    drainLines(kReplyLineCapacity);
    for (int line = 4; line <= 6; ++line) {
        ASSERT_TRUE(readHeader(line, record)) << "line " << line;
        EXPECT_STREQ(record.text, kDefaults[line - 1].text);
    }
}

TEST_F(HeaderReadback, UnknownFontNameFails) {
    kv31::Faults faults;
    faults.unknownFontName = true;
    printer.setFaults(faults);
    HeaderRecord record = untouched();
    EXPECT_FALSE(readHeader(2, record));
    expectUntouched(record);
}

TEST_F(HeaderReadback, OneBadReplyFailsItsLineAlone) {
    kv31::Faults faults;
    faults.unknownFontLine = 1;
    printer.setFaults(faults);
    expectOnlyLineOneFails();
}

// Lines 3 and 4 of the bad reply arrive after its readback has given up on line 2.
TEST_F(HeaderReadback, TheRestOfABadReplyStillOnItsWayIsNotTakenForTheNext) {
    kv31::Faults faults;
    faults.unknownFontLine = 1;
    faults.replyLineGapMs = 600;
    printer.setFaults(faults);
    HeaderRecord record;
    EXPECT_FALSE(readHeader(1, record));
    ASSERT_TRUE(readHeader(2, record));
    EXPECT_STREQ(record.text, kDefaults[1].text);
}

// A busy printer answers line 1 after its readback has given up, while line 2 waits.
TEST_F(HeaderReadback, ALateAnswerCostsItsOwnLineAlone) {
    kv31::Faults faults;
    faults.delayedLine = 1;
    faults.replyDelayMs = 2600;
    printer.setFaults(faults);
    expectOnlyLineOneFails();
}

// A reply never comes before its query, however well it reads.
TEST_F(HeaderReadback, LinesWaitingBeforeTheQueryAreNotItsReply) {
    const std::string stale = "Header 3\r\nfont:    Courier 20\r\ntext: \r\n\"stale\"\r\n";
    printer.send(stale);
    ASSERT_TRUE(test::eventually([&] { return receiveRing().unreadCount() == stale.size(); }));
    HeaderRecord record;
    ASSERT_TRUE(readHeader(3, record));
    EXPECT_STREQ(record.text, kDefaults[2].text);
}

// A printer that talked while nobody listened: the ring is full, the reader holds a byte
// it has no room for, and the rest waits in the driver.
TEST_F(HeaderReadback, TheFirstReadbackAfterIdleChatterSucceeds) {
    printer.setPacing(false);
    std::string chatter;
    // As much as a pseudo-terminal holds beside the ring.
    while (chatter.size() < 12 * 1024) {
        chatter += std::string(kv31::kChatterLine) + "\r\n";
    }
    printer.send(chatter);
    ASSERT_TRUE(test::eventually([&] { return printer.unsentBytes() == 0; }));
    ASSERT_TRUE(
        test::eventually([] { return receiveRing().unreadCount() == ReceiveRing::kMaxUnread; }));
    HeaderRecord record;
    ASSERT_TRUE(readHeader(1, record));
    EXPECT_STREQ(record.text, kDefaults[0].text);
}

TEST_F(HeaderReadback, AcceptsAnyBytesBeforeHeaderNulIncluded) {
    using namespace std::string_literals;
    kv31::Faults faults;
    faults.textBeforeHeader = "\0\0\x07 KV-31 waking\0\xff "s;
    printer.setFaults(faults);
    expectAllDefaults();
}

TEST_F(HeaderReadback, AcceptsLinesEndedByLfAlone) {
    kv31::Faults faults;
    faults.lfWithoutCr = true;
    printer.setFaults(faults);
    expectAllDefaults();
}

TEST_F(HeaderReadback, AcceptsNoiseBetweenReplies) {
    kv31::Faults faults;
    faults.noiseBetweenReplies = "\x01~\x7f\xfe#";
    printer.setFaults(faults);
    expectAllDefaults();
}

TEST_F(HeaderReadback, SkipsAnOverlongLineBeforeTheReply) {
    kv31::Faults faults;
    faults.overlongLineBytes = 400;
    printer.setFaults(faults);
    HeaderRecord record;
    ASSERT_TRUE(readHeader(5, record));
    EXPECT_STREQ(record.text, kDefaults[4].text);
}

TEST_F(HeaderReadback, WaitsForASlowReply) {
    kv31::Faults faults;
    faults.replyDelayMs = 700;
    printer.setFaults(faults);
    HeaderRecord record;
    ASSERT_TRUE(readHeader(4, record));
    EXPECT_STREQ(record.text, kDefaults[3].text);
}

TEST_F(HeaderReadback, FailsWhenThePrinterVanishesMidReply) {
    kv31::Faults faults;
    faults.vanishAfterReplyBytes = 20;  // inside the font line
    printer.setFaults(faults);
    HeaderRecord record = untouched();
    EXPECT_FALSE(readHeader(1, record));
    expectUntouched(record);
    EXPECT_FALSE(readHeader(2, record));
}

// Set Defaults writes the six commands; the printer must end up with the maker's lines.
TEST_F(HeaderReadback, DefaultHeaderSetRestoresTheMakersLines) {
    for (int line = 1; line <= 6; ++line) {
        printer.setLine(line, 5, "overwritten");
    }
    for (std::string_view command : kDefaultHeaderSet) {
        send(command);
    }
    const int printerFonts[6] = {4, 2, 2, 2, 2, 3};
    const auto stored = printer.lines();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(stored[i].printerFont, printerFonts[i]) << "line " << i + 1;
        EXPECT_EQ(stored[i].text, kDefaults[i].text) << "line " << i + 1;
    }
    expectAllDefaults();
}

}  // namespace
}  // namespace quillet
