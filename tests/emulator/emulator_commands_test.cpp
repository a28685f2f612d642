// The emulated printer's commands and replies, seen from the host's side of the wire.
#include <string>
#include <vector>

#include "emulator_test_support.h"

namespace kv31test {
namespace {

const std::string kEsc = "\x1b";

TEST_F(EmulatorTest, AnswersEachDefaultLine) {
    const std::string expected[6] = {
        reply(1, "Arial 20", "\"  Brellic Technology\""),
        reply(2, "Arial 14", "\"        418 Larkspur Blvd\""),
        reply(3, "Arial 14", "\"        Springdale, ZZ 00000\""),
        reply(4, "Arial 14", "\"        TEL: (555) 010-2000\""),
        reply(5, "Arial 14", "\"        FAX: (555) 010-2001\""),
        reply(6, "Arial Narrow 20", "\"      Measured with Care\""),
    };
    for (int line = 1; line <= 6; ++line) {
        const std::string& want = expected[line - 1];
        EXPECT_EQ(ask("RH" + std::to_string(line) + "\n", want.size()), want);
    }
    EXPECT_EQ(client->readFor(100ms), "");
}

TEST_F(EmulatorTest, ReportsEachPrinterFontByItsName) {
    const char* names[7] = {"Arial Narrow 14", "Arial 14",   "Arial Narrow 20", "Arial 20",
                            "Courier 20",      "CHBlack 24", "Lucida 16"};
    for (int font = 1; font <= 7; ++font) {
        tell("H2," + std::to_string(font) + ",\"x\"\n");
        const std::string want = reply(2, names[font - 1], "\"x\"");
        EXPECT_EQ(ask("RH2\n", want.size()), want) << "printer font " << font;
    }
    EXPECT_STREQ(kv31::printerFontName(0), "");
    EXPECT_STREQ(kv31::printerFontName(8), "");
}

TEST_F(EmulatorTest, StoresHeaderWritesAndReportsThem) {
    tell("H3,5,\"   Right aligned\"\n");
    EXPECT_EQ(emulator.lines()[2].printerFont, 5);
    EXPECT_EQ(emulator.lines()[2].text, "   Right aligned");
    const std::string want = reply(3, "Courier 20", "\"   Right aligned\"");
    EXPECT_EQ(ask("RH3\n", want.size()), want);

    // The text runs from the first to the last double quote.
    tell("H1,1,\"say \"hi\" now\"\n");
    EXPECT_EQ(emulator.lines()[0].text, "say \"hi\" now");

    tell("H6,7,\"\"\n");
    EXPECT_EQ(emulator.lines()[5].text, "");
    const std::string empty = reply(6, "Lucida 16", "Empty");
    EXPECT_EQ(ask("RH6\n", empty.size()), empty);
}

TEST_F(EmulatorTest, StoresLongTextsWhole) {
    const std::string text = std::string(120, ' ') + "Twenty-nine characters long!";
    tell("H4,1,\"" + text + "\"\n");
    const std::string want = reply(4, "Arial Narrow 14", '"' + text + '"');
    EXPECT_EQ(ask("RH4\n", want.size()), want);
}

TEST_F(EmulatorTest, IgnoresMalformedAndOutOfRangeWrites) {
    const auto before = emulator.lines();
    for (const char* bad : {"H0,1,\"x\"\n", "H7,1,\"x\"\n", "H1,0,\"x\"\n", "H1,8,\"x\"\n",
                            "H1,1,\"no closing quote\n", "H1,1,x\"y\"\n", "H1;1,\"x\"\n",
                            "H,1,\"x\"\n", "H1,\"x\"\n"}) {
        tell(bad);
    }
    const auto after = emulator.lines();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(after[i].printerFont, before[i].printerFont);
        EXPECT_EQ(after[i].text, before[i].text);
    }
}

TEST_F(EmulatorTest, AnswersNoQueryOutsideTheSixLines) {
    ASSERT_TRUE(client->write("RH0\nRH7\nRH\nRH12\nrh1\n"));
    EXPECT_EQ(client->readFor(200ms), "");
}

TEST_F(EmulatorTest, RecordsModeSwitches) {
    EXPECT_EQ(emulator.mode(), 0);
    tell(kEsc + "M" + kEsc + "5\n");
    EXPECT_EQ(emulator.mode(), '5');
    tell(kEsc + "M" + kEsc + "1\n");
    EXPECT_EQ(emulator.mode(), '1');
    tell(kEsc + "M" + kEsc + "3\n");
    EXPECT_EQ(emulator.mode(), '1');
}

TEST_F(EmulatorTest, RecordsPrintedPages) {
    tell("H2,2,\"second\"\n");
    std::string page;
    for (char n = '1'; n <= '6'; ++n) {
        page += kEsc + "H" + kEsc + n + "\n";
    }
    page += "\n\n\n\n\n\n";
    tell(page);
    tell(kEsc + "H" + kEsc + "2\n\n");

    const auto pages = emulator.printedPages();
    ASSERT_EQ(pages.size(), 2u);
    const std::vector<std::string> first = {"  Brellic Technology",
                                            "second",
                                            "        Springdale, ZZ 00000",
                                            "        TEL: (555) 010-2000",
                                            "        FAX: (555) 010-2001",
                                            "      Measured with Care",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            ""};
    EXPECT_EQ(pages[0], first);
    EXPECT_EQ(pages[1], (std::vector<std::string>{"second", ""}));
    EXPECT_EQ(emulator.lines()[1].text, "second");  // printing changes nothing stored
}

TEST_F(EmulatorTest, KeepsEveryByteReceived) {
    using namespace std::string_literals;
    const std::string bytes = "RH1\n" + kEsc + "M" + kEsc + "5\n\x00\xff garbage\r\nH1,2,\"x\"\n"s;
    ASSERT_EQ(bytes.size(), 30u);
    tell(bytes);
    EXPECT_EQ(emulator.received(), bytes);
    emulator.clearReceived();
    EXPECT_EQ(emulator.received(), "");
    EXPECT_FALSE(emulator.waitForReceived(1, 50ms));
}

TEST_F(EmulatorTest, LogsEachCommandReadably) {
    std::vector<std::string> log;
    emulator.setCommandLog([&log](const std::string& line) { log.push_back(line); });
    tell("RH3\nH2,7,\"hi\"\n" + kEsc + "M" + kEsc + "5\n" + kEsc + "H" + kEsc + "4\n\nQ" + kEsc +
         "\n");
    emulator.setCommandLog(nullptr);
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0], "query header 3");
    EXPECT_NE(log[1].find("write header 2"), std::string::npos);
    EXPECT_NE(log[1].find("Lucida 16"), std::string::npos);
    EXPECT_NE(log[1].find("hi"), std::string::npos);
    EXPECT_EQ(log[2], "mode 5");
    EXPECT_EQ(log[3], "print header 4");
    EXPECT_EQ(log[4], "feed");
    EXPECT_EQ(log[5], "unknown command: Q<ESC>");
}

TEST_F(EmulatorTest, DropsAnOverlongCommandAndServesTheNext) {
    tell(std::string(10000, 'H') + "\n");
    const std::string want = reply(5, "Arial 14", "\"        FAX: (555) 010-2001\"");
    EXPECT_EQ(ask("RH5\n", want.size()), want);
}

TEST_F(EmulatorTest, SetLineAndRestoreDefaults) {
    emulator.setLine(1, 5, "changed");
    emulator.setLine(1, 9, "ignored");
    emulator.setLine(0, 5, "ignored");
    const std::string changed = reply(1, "Courier 20", "\"changed\"");
    EXPECT_EQ(ask("RH1\n", changed.size()), changed);

    emulator.restoreDefaults();
    EXPECT_EQ(emulator.lines()[0].printerFont, 4);
    EXPECT_EQ(emulator.lines()[0].text, "  Brellic Technology");
}

// Requests arriving one byte at a time are commands like any other.
TEST_F(EmulatorTest, AssemblesCommandsFromSingleBytes) {
    for (char c : std::string("RH2\n")) {
        tell(std::string(1, c));
    }
    const std::string want = reply(2, "Arial 14", "\"        418 Larkspur Blvd\"");
    EXPECT_EQ(client->read(want.size(), 3s), want);
}

}  // namespace
}  // namespace kv31test
