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

TEST_F(EmulatorTest, TextBeforeHeader) {
    kv31::Faults faults;
    faults.textBeforeHeader = "\x01junk ";
    emulator.setFaults(faults);
    const std::string want = "\x01junk " + kLine1;
    EXPECT_EQ(ask("RH1\n", want.size()), want);
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
