// The main window's buttons and window menu, from a loaded list to the end of the run.
#include <QMenu>
#include <QTest>

#include "link/serial_port.h"
#include "tests/e2e/quillet_session.h"
#include "ui/toolkit/paint_context.h"

namespace quillet::e2e {
namespace {

using MainWindowActions = QuilletSession;
using control::kModify;
using control::kPrintTestPage;
using control::kSetDefaults;

using traffic::kDefaultSetBytes;

bool othersInclude(const ShownWindow& shown, const QString& title) {
    return std::any_of(shown.others.begin(), shown.others.end(),
                       [&](const WindowState& w) { return w.title == title; });
}

TEST_F(MainWindowActions, ModifyThenCancelReadsTheLineBackAndSelectsIt) {
    std::size_t before = 0;
    std::size_t pausesBefore = 0;
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [&](MainWindow& w) {
        clickEntry(w, 3);
        // A stray line for the drain, and a change made behind the window's back that
        // the readback must bring in.
        printer.send("stray\r\n");
        printer.setLine(4, 5, "  Changed elsewhere");
        before = printer.received().size();
        pausesBefore = recorder->pauseCount();
        click(w, kModify);
    });
    script.onModal("Header Message #4", [](Dialog& d) { click(d, kIdCancel); });
    script.then("line read back", backAtMainWindow, [&] {
        MainWindow& w = *mainWindow();
        QStringList expected = kDefaultEntries;
        expected[3] = "Header Message #4          Changed elsewhere";
        EXPECT_EQ(entries(w), expected);
        EXPECT_EQ(selectedEntry(w), 3);
        EXPECT_TRUE(modifyEnabled(w));
        EXPECT_STREQ(w.headerTable()[3].text, "  Changed elsewhere");
        EXPECT_EQ(w.headerTable()[3].font, 4);
        EXPECT_EQ(receivedSince(before, 9), kMode5 + "RH4\n");
        // The stray line was drained before the query.
        const std::vector<int> pauses = recorder->pauseLengths(pausesBefore);
        ASSERT_FALSE(pauses.empty());
        EXPECT_EQ(pauses.front(), 250);
        click(w, kIdOk);
    });
    run(script);
    // No wait window and no notice for a readback that succeeds.
    EXPECT_EQ(recorder->shownTitles(),
              QStringList({"Select Serial Port", "Wait...", "Quillet", "Header Message #4"}));
}

TEST_F(MainWindowActions, SetDefaultsWritesTheMakersLinesAndReloads) {
    for (int line = 1; line <= 6; ++line) {
        printer.setLine(line, 7, "Custom " + std::to_string(line));
    }
    std::size_t before = 0;
    std::size_t pausesBefore = 0;
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [&](MainWindow& w) {
        EXPECT_EQ(entries(w)[0], "Header Message #1          Custom 1");
        before = printer.received().size();
        pausesBefore = recorder->pauseCount();
        click(w, kSetDefaults);
    });
    script.then("reloaded", backAtMainWindow, [&] {
        MainWindow& w = *mainWindow();
        EXPECT_EQ(entries(w), kDefaultEntries);
        EXPECT_EQ(selectedEntry(w), 0);
        EXPECT_EQ(visibleWindow("Wait..."), nullptr);
        EXPECT_EQ(receivedSince(before, 5 + kDefaultSetBytes.size() + 24),
                  kMode5 + kDefaultSetBytes + queries(1, 6));
        const std::vector<PauseTaken> pauses = recorder->pauses();
        ASSERT_GT(pauses.size(), pausesBefore);
        // Nothing to drain; then the printer gets its time to store the lines, with
        // the wait window up.
        EXPECT_EQ(pauses[pausesBefore].ms, 2000);
        const std::vector<WindowState>& onScreen = pauses[pausesBefore].windows;
        EXPECT_TRUE(std::any_of(onScreen.begin(), onScreen.end(),
                                [](const WindowState& s) { return s.title == "Wait..."; }));
        click(w, kIdOk);
    });
    run(script);
    EXPECT_EQ(printer.lines()[0].text, "  Brellic Technology");
    EXPECT_EQ(printer.lines()[5].printerFont, 3);
    EXPECT_EQ(recorder->shownTitles(),
              QStringList({"Select Serial Port", "Wait...", "Quillet", "Wait..."}));
}

TEST_F(MainWindowActions, SetDefaultsWithThePrinterOffShowsTheNoticeOverTheWaitWindow) {
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [&](MainWindow& w) {
        printer.setFaults(switchedOff());
        recorder->shortenPauses(true);
        click(w, kSetDefaults);
    });
    script.onModal("Communication Failure", [](Dialog& d) {
        EXPECT_NE(visibleWindow("Wait..."), nullptr);
        click(d, kIdOk);
    });
    script.then("notice closed", backAtMainWindow, [&] {
        MainWindow& w = *mainWindow();
        EXPECT_EQ(visibleWindow("Wait..."), nullptr);
        for (const QString& entry : entries(w)) {
            EXPECT_TRUE(entry.endsWith("          <loading error>")) << entry.toStdString();
        }
        click(w, kIdOk);
    });
    run(script);
    const std::vector<ShownWindow> shown = recorder->shown();
    ASSERT_EQ(recorder->shownTitles().count("Communication Failure"), 1);
    const ShownWindow& notice = shown[recorder->shownTitles().indexOf("Communication Failure")];
    EXPECT_TRUE(othersInclude(notice, "Wait..."));
    EXPECT_TRUE(othersInclude(notice, "Quillet"));
}

TEST_F(MainWindowActions, PrintTestPageDrainsThenSendsTheCommandsInOrder) {
    std::size_t before = 0;
    std::size_t pausesBefore = 0;
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [&](MainWindow&) {
        // Longer than a 50-byte line, shorter than the drain's 80 bytes.
        printer.send(std::string(60, '=') + "\r\nsecond\r\n");
    });
    script.after("stray lines arrived", 300, [&] {
        before = printer.received().size();
        pausesBefore = recorder->pauseCount();
        click(*mainWindow(), kPrintTestPage);
    });
    script.then("printed", backAtMainWindow, [&] {
        std::string expected = kMode5;
        for (char line = '1'; line <= '6'; ++line) {
            expected += std::string("\x1bH\x1b") + line + "\n";
        }
        expected += "\n\n\n\n\n\n";
        EXPECT_EQ(receivedSince(before, expected.size()), expected);
        EXPECT_EQ(recorder->pauseLengths(pausesBefore), std::vector<int>({250, 250}));
        click(*mainWindow(), kIdOk);
    });
    run(script);
    const auto pages = printer.printedPages();
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_GE(pages[0].size(), 6u);
    EXPECT_EQ(pages[0][0], "  Brellic Technology");
    EXPECT_EQ(pages[0][5], "      Measured with Care");
    EXPECT_EQ(recorder->shownTitles(), QStringList({"Select Serial Port", "Wait...", "Quillet"}));
}

// Each way of closing the main window.
struct Closing {
    const char* name;
    std::function<void(Dialog&)> close;
};

void PrintTo(const Closing& closing, std::ostream* out) {
    *out << closing.name;
}

class ClosingTheWindow : public QuilletSession, public ::testing::WithParamInterface<Closing> {};

TEST_P(ClosingTheWindow, SwitchesThePrinterBackThenClosesThePort) {
    const std::string path = printer.devicePath();
    std::size_t before = 0;
    bool heldDuringPause = false;
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [&](MainWindow& w) {
        before = printer.received().size();
        recorder->setOnPause([&](int) { heldDuringPause = portLocked(path); });
        GetParam().close(w);
    });
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(receivedSince(before, 5), kMode1);
    EXPECT_EQ(recorder->pauseLengths().back(), 500);
    EXPECT_TRUE(heldDuringPause);
    EXPECT_FALSE(portLocked(path));
    EXPECT_FALSE(writeBytes("x", 1));
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, ClosingTheWindow,
    ::testing::Values(
        Closing{"OkButton",
                [](Dialog& d) { QTest::mouseClick(qtControl(d, kIdOk), Qt::LeftButton); }},
        Closing{"Enter", [](Dialog& d) { QTest::keyClick(qtWindow(d), Qt::Key_Return); }},
        Closing{"CancelButton",
                [](Dialog& d) { QTest::mouseClick(qtControl(d, kIdCancel), Qt::LeftButton); }},
        Closing{"Escape", [](Dialog& d) { QTest::keyClick(qtWindow(d), Qt::Key_Escape); }},
        Closing{"CloseBox", [](Dialog& d) { qtWindow(d)->close(); }}),
    [](const ::testing::TestParamInfo<Closing>& info) { return std::string(info.param.name); });

QMenu* windowMenuOf(Dialog& window) {
    return qtWindow(window)->findChild<QMenu*>("windowMenu");
}

void choose(Dialog& window, int id) {
    for (QAction* action : windowMenuOf(window)->actions()) {
        if (!action->isSeparator() && action->data().toInt() == id) {
            action->trigger();
            return;
        }
    }
    ADD_FAILURE() << "no window menu entry " << id;
}

TEST_F(MainWindowActions, TheWindowMenuOpensTheAboutBoxForCommands16To31) {
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "window menu", [](MainWindow& w) {
        QMenu* menu = windowMenuOf(w);
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        ASSERT_GE(actions.size(), 2);
        EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
        EXPECT_EQ(actions.back()->text(), "&About Quillet...");
        EXPECT_EQ(actions.back()->data().toInt(), 16);
        // Entries of our own for the neighbouring commands.
        for (int id : {15, 17, 31, 32}) {
            w.appendSystemMenuEntry(id, "Command " + std::to_string(id));
        }
        choose(w, 16);
    });
    script.onModal("About Quillet", [](Dialog& d) { click(d, kIdOk); });
    script.then("17", backAtMainWindow, [] { choose(*mainWindow(), 17); });
    script.onModal("About Quillet", [](Dialog& d) { QTest::keyClick(qt(d), Qt::Key_Escape); });
    script.then("31", backAtMainWindow, [] { choose(*mainWindow(), 31); });
    script.onModal("About Quillet", [](Dialog& d) { qt(d)->close(); });
    script.then("32 and 15", backAtMainWindow, [] {
        choose(*mainWindow(), 32);
        choose(*mainWindow(), 15);
    });
    script.after("nothing opened", 300, [] {
        EXPECT_TRUE(modalUp("Quillet"));
        click(*mainWindow(), kIdOk);
    });
    run(script);
    EXPECT_EQ(recorder->shownTitles().count("About Quillet"), 3);
}

// What the main window paints when a backend asks it to paint itself minimised.
class RecordingPaint : public PaintContext {
  public:
    int clientWidth() const override { return 37; }
    int clientHeight() const override { return 30; }
    int systemIconWidth() const override { return 32; }
    int systemIconHeight() const override { return 32; }
    void eraseIconBackground() override { calls.push_back("erase"); }
    void drawIcon(const Icon& icon, int x, int y) override {
        calls.push_back("icon " + std::to_string(icon.id()) + " at " + std::to_string(x) + "," +
                        std::to_string(y));
    }
    std::vector<std::string> calls;
};

TEST_F(MainWindowActions, MinimisedItPaintsTheApplicationIconInTheMiddle) {
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [](MainWindow& w) {
        RecordingPaint shown;
        EXPECT_FALSE(w.dispatchPaint(shown));
        EXPECT_TRUE(shown.calls.empty());
        qt(w)->showMinimized();
        RecordingPaint minimised;
        EXPECT_TRUE(w.dispatchPaint(minimised));
        // (37 - 32 + 1) / 2 and (30 - 32 + 1) / 2, truncated toward zero.
        EXPECT_EQ(minimised.calls, (std::vector<std::string>{"erase", "icon 128 at 3,0"}));
        EXPECT_EQ(w.dispatchQueryDragIcon().id(), kAppIconId);
        qt(w)->showNormal();
        click(w, kIdOk);
    });
    run(script);
}

}  // namespace
}  // namespace quillet::e2e
