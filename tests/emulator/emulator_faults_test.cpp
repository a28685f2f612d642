// Each way the emulated printer can be made to misbehave.
#include <string>

#include "emulator_test_support.h"

namespace kv31test {
namespace {

const std::string kLine1 = reply(1, "Arial 20", "\"  Brellic Technology\"");
const std::string kLine2 = reply(2, "Arial 14", "\"        418 Larkspur Blvd\"");

TEST_F(EmulatorTest, SilentAnswersNothingButStillStoresWrites) {
    kv31::Faults faults;
    faults.silent = true;
    emulator.setFaults(faults);
    ASSERT_TRUE(client->write("RH1\nRH2\nH2,5,\"kept\"\n"));
    EXPECT_EQ(client->readFor(300ms), "");
    EXPECT_EQ(emulator.lines()[1].text, "kept");
}

TEST_F(EmulatorTest, SilentLineAnswersTheOthers) {
    kv31::Faults faults;
    faults.silentLine = 1;
    emulator.setFaults(faults);
    EXPECT_EQ(ask("RH1\nRH2\n", kLine2.size() + 1), kLine2);
}

TEST_F(EmulatorTest, UnknownFontNameMatchesNoKnownName) {
    kv31::Faults faults;
    faults.unknownFontName = true;
    emulator.setFaults(faults);
    const std::string got = ask("RH1\n", 200);
    const std::size_t fontAt = got.find("\r\nfont:    ");
    ASSERT_EQ(fontAt, std::string("Header 1").size());
    const std::size_t nameAt = fontAt + 11;
    const std::string name = got.substr(nameAt, got.find('\r', nameAt) - nameAt);
    EXPECT_FALSE(name.empty());
    for (const char* known : {"Arial Narrow 14", "Arial 14", "Arial Narrow 20", "Arial 20",
                              "Courier 20", "CHBlack 24", "Lucida 16", "Unknown"}) {
        EXPECT_EQ(name.find(known), std::string::npos) << name;
    }
    EXPECT_NE(got.find("\r\ntext: \r\n\"  Brellic Technology\"\r\n"), std::string::npos);
}

TEST_F(EmulatorTest, AnyBytesBeforeHeader) {
    using namespace std::string_literals;
    kv31::Faults faults;
    faults.textBeforeHeader = "\0\x01junk\0 "s;
    emulator.setFaults(faults);
    const std::string want = "\0\x01junk\0 "s + kLine1;
    EXPECT_EQ(ask("RH1\n", want.size()), want);
}

TEST_F(EmulatorTest, ReplyLinesComeApart) {
    kv31::Faults faults;
    faults.replyLineGapMs = 300;
    emulator.setFaults(faults);
    ASSERT_TRUE(client->write("RH1\n"));
    EXPECT_EQ(client->read(10, 3s), "Header 1\r\n");
    const auto first = std::chrono::steady_clock::now();
    EXPECT_EQ(client->read(kLine1.size() - 10, 3s), kLine1.substr(10));
    EXPECT_GE(std::chrono::steady_clock::now() - first, 3 * 300ms - 50ms);
}

TEST_F(EmulatorTest, ChattersAtItsInterval) {
    kv31::Faults faults;
    faults.chatterIntervalMs = 100;
    emulator.setFaults(faults);
    const std::string status = std::string(kv31::kChatterLine) + "\r\n";
    const std::string got = client->read(3 * status.size(), 3s);
    EXPECT_EQ(got, status + status + status);
    emulator.setFaults({});
    client->readFor(150ms);
    EXPECT_EQ(client->readFor(300ms), "");
}

TEST_F(EmulatorTest, LfWithoutCr) {
    kv31::Faults faults;
    faults.lfWithoutCr = true;
    emulator.setFaults(faults);
    const std::string want = "Header 1\nfont:    Arial 20\ntext: \n\"  Brellic Technology\"\n";
    EXPECT_EQ(ask("RH1\n", want.size()), want);
}

TEST_F(EmulatorTest, NoiseFollowsEachReply) {
    kv31::Faults faults;
    faults.noiseBetweenReplies = "~#\x7f";
    emulator.setFaults(faults);
    const std::string want = kLine1 + "~#\x7f" + kLine2 + "~#\x7f";
    EXPECT_EQ(ask("RH1\nRH2\n", want.size()), want);
}

TEST_F(EmulatorTest, OverlongLineBeforeEachReply) {
    kv31::Faults faults;
    faults.overlongLineBytes = 300;
    emulator.setFaults(faults);
    const std::string want = std::string(300, '#') + "\r\n" + kLine1;
    const std::string got = ask("RH1\n", want.size());
    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(got.find('\n'), 301u);
    EXPECT_EQ(got.substr(302), kLine1);
}

TEST_F(EmulatorTest, ReplyDelayHoldsTheReplyBack) {
    kv31::Faults faults;
    faults.replyDelayMs = 300;
    emulator.setFaults(faults);
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(client->write("RH1\n"));
    EXPECT_EQ(client->read(1, 3s), "H");
    EXPECT_GE(std::chrono::steady_clock::now() - asked, 300ms);
    EXPECT_EQ(client->read(kLine1.size() - 1, 3s), kLine1.substr(1));
}

TEST_F(EmulatorTest, VanishesInTheMiddleOfAReply) {
    kv31::Faults faults;
    faults.vanishAfterReplyBytes = 20;
    emulator.setFaults(faults);
    const std::string got = ask("RH1\n", kLine1.size());
    EXPECT_EQ(got, kLine1.substr(0, 20));
    EXPECT_TRUE(client->hungUp());
    emulator.send("ignored");  // nothing to send it on any more
    emulator.stop();
}

TEST_F(EmulatorTest, VanishCountsReplyBytesAcrossReplies) {
    kv31::Faults faults;
    faults.vanishAfterReplyBytes = static_cast<int>(kLine1.size()) + 3;
    emulator.setFaults(faults);
    emulator.send("not counted ");
    const std::string got = ask("RH1\nRH2\n", 1000);
    EXPECT_EQ(got, "not counted " + kLine1 + kLine2.substr(0, 3));
    EXPECT_TRUE(client->hungUp());
}

TEST_F(EmulatorTest, VanishClosesTheDeviceNow) {
    emulator.vanish();
    EXPECT_EQ(client->readFor(2s), "");
    EXPECT_TRUE(client->hungUp());
    emulator.vanish();  // twice is harmless
}

// A flood keeps only a bounded tail, however much comes.
TEST_F(EmulatorTest, AFloodLeavesABoundedLogAndPageRecord) {
    const std::size_t total = 2 * kv31::Emulator::kReceivedTail + 4096;
    std::string flood(total, '\n');
    for (std::size_t i = 0; i < total; i += 7) {
        flood[i] = static_cast<char>('a' + i % 26);
    }
    tell(flood);
    EXPECT_EQ(emulator.receivedCount(), total);
    EXPECT_TRUE(emulator.received() == flood.substr(total - kv31::Emulator::kReceivedTail));
    const auto pages = emulator.printedPages();
    EXPECT_LE(pages.size(), 64u);
    for (const auto& page : pages) {
        EXPECT_LE(page.size(), 64u);
    }
    const std::string want = reply(3, "Arial 14", "\"        Springdale, ZZ 00000\"");
    EXPECT_EQ(ask("RH3\n", want.size()), want);
}

TEST_F(EmulatorTest, MisstoredLineChangesOnlyThatLinesWrites) {
    kv31::Faults faults;
    faults.misstoredLine = 2;
    emulator.setFaults(faults);
    tell("H2,4,\"  Sale\"\nH3,4,\"  Sale\"\nH2,1,\"\"\n");
    EXPECT_EQ(emulator.lines()[1].printerFont, 1);
    EXPECT_EQ(emulator.lines()[1].text, "x");
    EXPECT_EQ(emulator.lines()[2].text, "  Sale");
    tell("H2,4,\"  Sale\"\n");
    EXPECT_EQ(emulator.lines()[1].text, "  Salx");
}

TEST_F(EmulatorTest, SendsRawBytes) {
    std::string flood;
    for (int i = 0; i < 100000; ++i) {
        flood += static_cast<char>('a' + i % 26);
    }
    emulator.send(flood);
    emulator.send("\r\nend");
    EXPECT_EQ(client->read(flood.size() + 5, 10s), flood + "\r\nend");
}

}  // namespace
}  // namespace kv31test
