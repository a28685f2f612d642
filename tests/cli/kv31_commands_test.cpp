// Each kv31 command against the emulated printer: what it sends, what the printer then
// holds, what kv31 prints, and the printer switched back to mode 1 on every way out.
#include <signal.h>

#include <thread>

#include "kv31_test_support.h"

namespace kv31test {
namespace {

using namespace std::chrono_literals;

TEST_F(Kv31Test, ReadShowsEveryByteAndTheTraceShowsTheExchange) {
    emulator.setLine(2, 2, "  caf\xE9 \"du\" coin");

    const Kv31Result all = run({"-p", port, "read"});
    ASSERT_EQ(all.code, 0) << all.err;
    EXPECT_NE(
        all.out.find("1  \"Arial 20\" (4)         293 of 380 dots  \"  Brellic Technology\"\n"),
        std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find("2  \"Arial 14\" (2)  "), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("\"  caf\\xE9 \\\"du\\\" coin\"\n3  "), std::string::npos) << all.out;
    EXPECT_EQ(all.err, "");  // off a terminal, no progress without -v
    EXPECT_EQ(emulator.mode(), '1');

    const Kv31Result traced = run({"--trace", "-p", port, "read", "2", "--json"});
    ASSERT_EQ(traced.code, 0) << traced.err;
    EXPECT_NE(traced.out.find(R"("text": "  caf\u00e9 \"du\" coin")"), std::string::npos)
        << traced.out;
    EXPECT_EQ(traced.out.find("\"line\": 1"), std::string::npos);
    EXPECT_NE(traced.err.find("sent:     <ESC>M<ESC>5<LF>\nkv31: sent:     RH2<LF>\n"),
              std::string::npos)
        << traced.err;
    EXPECT_NE(traced.err.find("received: font:    Arial 14<CR><LF>\n"), std::string::npos);
    EXPECT_TRUE(traced.err.ends_with("sent:     <ESC>M<ESC>1<LF>\n")) << traced.err;
}

// On a terminal the progress is one line, redrawn; off one there is none (the test above).
TEST_F(Kv31Test, ProgressOnATerminalIsOneLineRedrawn) {
    Kv31Process read({"-p", port, "read", "1", "2"}, folder, true);
    ASSERT_EQ(read.wait(20s), 0);
    const std::string shown = read.err();
    EXPECT_NE(shown.find("\rreading line 1 (1 of 2)"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\rreading line 2 (2 of 2)"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\n'), std::string::npos) << shown;
    EXPECT_EQ(shown.back(), '\r') << "the progress line is cleared at the end";
}

// The exchange of Quillet's Modify...: mode 5 at the start, the write, mode 5 and the query
// that reads the line back, mode 1 at the end.
TEST_F(Kv31Test, WriteAlignsSendsAndReadsBack) {
    const Kv31Result result =
        run({"-p", port, "write", "3", "--font", "Arial 20", "--align", "right", "Hello"});
    ASSERT_EQ(result.code, 0) << result.err;
    const std::string text = std::string(22, ' ') + "Hello";
    EXPECT_EQ(emulator.lines()[2].printerFont, 4);
    EXPECT_EQ(emulator.lines()[2].text, text);
    EXPECT_EQ(emulator.received(), kMode5 + "H3,4,\"" + text + "\"\n" + kMode5 + "RH3\n" + kMode1);
}

TEST_F(Kv31Test, AWriteReadBackDifferentFailsWithBothShown) {
    kv31::Faults faults;
    faults.misstoredLine = 3;
    emulator.setFaults(faults);

    const Kv31Result result = run({"-p", port, "write", "3", "--font", "Arial 20", "Hello"});

    EXPECT_EQ(result.code, 8);
    EXPECT_NE(result.err.find("line 3: read back different: written \"Arial 20\" (4) \"Hello\", "
                              "read \"Arial 20\" (4) \"Hellx\""),
              std::string::npos)
        << result.err;
    EXPECT_EQ(emulator.mode(), '1');
}

// A backup keeps leading spaces and bytes above 127; a restore writes back only the lines
// that differ, verified, and diff then finds the printer and the file the same.
TEST_F(Kv31Test, BackupRestoreRoundTrip) {
    const std::string line1 = "   Caf\xE9 K\xFC\x7F";
    emulator.setLine(1, 2, line1);
    const std::string file = folder + "/printer.json";
    const Kv31Result backup = run({"-p", port, "backup", "-o", file});
    ASSERT_EQ(backup.code, 0) << backup.err;
    const std::string document = fileText(file);
    EXPECT_NE(document.find(R"("text": "   Caf\u00e9 K\u00fc\u007f")"), std::string::npos)
        << document;
    EXPECT_NE(document.find(R"("port": ")" + port + "\""), std::string::npos);

    emulator.setLine(1, 5, "gone");
    emulator.setLine(4, 2, "        TEL: (555) 010-9999");
    const Kv31Result diff = run({"-p", port, "diff", file});
    EXPECT_EQ(diff.code, 9) << diff.err;
    EXPECT_NE(diff.out.find("line 4: printer \"Arial 14\" (2) \"        TEL: (555) 010-9999\"\n"
                            "line 4: file    \"Arial 14\" (2) \"        TEL: (555) 010-2000\"\n"),
              std::string::npos)
        << diff.out;

    emulator.clearReceived();
    const Kv31Result restore = run({"-p", port, "restore", file});
    ASSERT_EQ(restore.code, 0) << restore.err;
    EXPECT_EQ(emulator.lines()[0].printerFont, 2);
    EXPECT_EQ(emulator.lines()[0].text, line1);
    EXPECT_EQ(emulator.lines()[3].text, "        TEL: (555) 010-2000");
    const std::string sent = emulator.received();
    EXPECT_NE(sent.find("H1,2,\"" + line1 + "\"\n"), std::string::npos);
    for (const char* untouched : {"H2,", "H3,", "H5,", "H6,"}) {
        EXPECT_EQ(sent.find(untouched), std::string::npos) << untouched;
    }
    EXPECT_TRUE(sent.ends_with(kMode1));

    EXPECT_EQ(run({"-p", port, "diff", file}).code, 0);
}

TEST_F(Kv31Test, InterruptedRestoreSwitchesThePrinterBack) {
    const std::string file = writeFile("backup.json", backupDocument(defaultEntries()));
    kv31::Faults faults;
    faults.replyDelayMs = 200;
    emulator.setFaults(faults);
    Kv31Process restore({"-p", port, "restore", "--force", file}, folder);
    ASSERT_TRUE(emulator.waitForReceived(1, 5s));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (emulator.received().find("RH2\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }

    restore.signal(SIGINT);

    EXPECT_EQ(restore.wait(10s), 130) << restore.err();
    EXPECT_NE(restore.err().find("interrupted"), std::string::npos) << restore.err();
    EXPECT_EQ(emulator.mode(), '1');
    const std::string sent = emulator.received();
    EXPECT_TRUE(sent.ends_with(kMode1)) << sent;
    EXPECT_EQ(sent.find("H6,"), std::string::npos) << "the restore went on after Ctrl+C";
}

TEST_F(Kv31Test, DefaultsAreWrittenAndReadBackAndTheTestPagePrintsThem) {
    emulator.setLine(3, 7, "changed");
    const Kv31Result defaults = run({"-p", port, "defaults"});
    ASSERT_EQ(defaults.code, 0) << defaults.err;
    const kv31::Emulator fresh;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(emulator.lines()[i].text, fresh.lines()[i].text) << "line " << i + 1;
        EXPECT_EQ(emulator.lines()[i].printerFont, fresh.lines()[i].printerFont);
    }

    const Kv31Result page = run({"-p", port, "test-page"});
    ASSERT_EQ(page.code, 0) << page.err;
    ASSERT_FALSE(emulator.printedPages().empty());
    const std::vector<std::string> printed = emulator.printedPages().back();
    ASSERT_GE(printed.size(), 6u);
    EXPECT_EQ(printed[0], "  Brellic Technology");
    EXPECT_EQ(printed[5], "      Measured with Care");
    EXPECT_EQ(emulator.mode(), '1');
}

}  // namespace
}  // namespace kv31test
