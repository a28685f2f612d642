// readHeader against the emulated printer, through the Win32 link.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/serial_port.h"
#include "protocol/header_readback.h"
#include "protocol/printer_commands.h"
#include "tests/win32/win32_test_support.h"

namespace quillet::wine {
namespace {

class HeaderReadback : public EmulatorTest {
  protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
        ASSERT_TRUE(writeBytes(kMode5Command.data(), kMode5Command.size()));
        ASSERT_TRUE(emulator().await(kMode5Command.size(), 5000));
        ASSERT_TRUE(startReader());
    }
};

struct Stored {
    int printerFont;
    std::string text;
};

void expectReadBack(int line, const Stored& stored) {
    HeaderRecord record;
    ASSERT_TRUE(readHeader(line, record)) << "line " << line;
    EXPECT_EQ(record.font, stored.printerFont - 1) << "line " << line;
    EXPECT_EQ(std::string(record.text), stored.text) << "line " << line;
}

TEST_F(HeaderReadback, ReadsAllSixLinesWithTheirFontsAndTexts) {
    const std::array<Stored, 6> first = {{{1, "Narrow and small"},
                                          {2, "  two leading spaces"},
                                          {3, "Narrow 20 \"quoted\""},
                                          {4, "Arial twenty"},
                                          {5, "Courier: 12,5%"},
                                          {7, "Lucida sixteen"}}};
    for (int line = 1; line <= 6; ++line) {
        ASSERT_TRUE(emulator().setLine(line, first[line - 1].printerFont, first[line - 1].text));
    }
    ASSERT_TRUE(emulator().clear());
    for (int line = 1; line <= 6; ++line) {
        expectReadBack(line, first[line - 1]);
    }
    EXPECT_EQ(emulator().received(), "RH1\nRH2\nRH3\nRH4\nRH5\nRH6\n");

    ASSERT_TRUE(emulator().setLine(2, 6, "Black 24"));
    ASSERT_TRUE(emulator().setLine(5, 3, ""));
    expectReadBack(2, {6, "Black 24"});
    expectReadBack(5, {3, ""});
}

// Longer than a 50-byte reply buffer could take, as a right-aligned narrow line is.
TEST_F(HeaderReadback, ALongAlignedTextReadsBack) {
    const std::string text = std::string(70, ' ') + "right-aligned in a narrow font";
    ASSERT_TRUE(emulator().setLine(3, 1, text));
    expectReadBack(3, {1, text});
}

TEST_F(HeaderReadback, AWrittenHeaderIsReadBack) {
    ASSERT_TRUE(emulator().setLine(6, 7, "to be replaced"));
    const std::string_view command = kDefaultHeaderSet[5];
    ASSERT_TRUE(writeBytes(command.data(), command.size()));
    ASSERT_TRUE(emulator().await(kMode5Command.size() + command.size(), 5000));
    std::array<PrinterLine, 6> lines;
    ASSERT_TRUE(emulator().lines(lines));
    ASSERT_NE(lines[5].text, "to be replaced");
    expectReadBack(6, {lines[5].printerFont, lines[5].text});
}

TEST_F(HeaderReadback, ALineOutsideOneToSixSendsNothing) {
    ASSERT_TRUE(emulator().clear());
    HeaderRecord record;
    EXPECT_FALSE(readHeader(0, record));
    EXPECT_FALSE(readHeader(7, record));
    ASSERT_TRUE(writeBytes("M1\n", 3));
    ASSERT_TRUE(emulator().await(3, 5000));
    EXPECT_EQ(emulator().received(), "M1\n");
}

}  // namespace
}  // namespace quillet::wine
