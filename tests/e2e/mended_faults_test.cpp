// Faults of the printer and of the line that the program must live through, seen by the user.
#include <QTest>

#include "tests/e2e/quillet_session.h"

namespace quillet::e2e {
namespace {

using LivingWithThePrinter = QuilletSession;

using control::kSetDefaults;

// Far more than a reply line of 50 bytes holds, as a right-aligned line in a narrow font is.
TEST_F(LivingWithThePrinter, LongAlignedLineReadsBack) {
    const std::string aligned = std::string(120, ' ') + "Narrow, right";
    printer.setLine(2, 1, aligned);
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [&](MainWindow& w) {
        EXPECT_EQ(entries(w)[1], "Header Message #2          Narrow, right");
        EXPECT_EQ(std::string(w.headerTable()[1].text), aligned);
        EXPECT_EQ(w.headerTable()[1].font, 0);
        click(w, kIdOk);
    });
    run(script);
    EXPECT_FALSE(recorder->shownTitles().contains("Communication Failure"));
}

// The CPU the reader costs meanwhile is measured by the readback benchmark.
TEST_F(LivingWithThePrinter, VanishedDeviceIsReportedAtTheNextAction) {
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [&](MainWindow&) {
        printer.vanish();
        recorder->shortenPauses(true);
    });
    script.after("idle after the device went", 1000, [&] { click(*mainWindow(), kSetDefaults); });
    script.onModal("Communication Failure", [](Dialog& d) { click(d, kIdOk); });
    script.then("reported", backAtMainWindow, [] {
        for (const QString& entry : entries(*mainWindow())) {
            EXPECT_TRUE(entry.endsWith("<loading error>")) << entry.toStdString();
        }
        click(*mainWindow(), kIdOk);
    });
    EXPECT_EQ(run(script), 0);
}

TEST_F(LivingWithThePrinter, NoiseAndOverlongLinesDoNotWedgeTheReadback) {
    kv31::Faults noisy;
    noisy.noiseBetweenReplies = "\x01#~ noise";
    noisy.overlongLineBytes = 300;
    printer.setFaults(noisy);
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded with noise", [&](MainWindow& w) {
        EXPECT_EQ(entries(w), kDefaultEntries);
        printer.setFaults({});
        // More than the receive ring holds, then a line of noise.
        printer.send(std::string(5000, '#') + "\r\n" + "\x7f\x02 more noise\r\n");
    });
    script.after("flood arrived", 300, [] { click(*mainWindow(), kSetDefaults); });
    script.then("reloaded", backAtMainWindow, [] {
        EXPECT_EQ(entries(*mainWindow()), kDefaultEntries);
        click(*mainWindow(), kIdOk);
    });
    run(script);
    EXPECT_FALSE(recorder->shownTitles().contains("Communication Failure"));
}

}  // namespace
}  // namespace quillet::e2e
