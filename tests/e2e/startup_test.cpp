// Start-up as the user sees it: the port choice, the wait window, the first load.
#include <QTest>

#include "link/serial_port.h"
#include "tests/e2e/quillet_session.h"
#include "tests/link/pseudo_terminal.h"
#include "ui/toolkit/qt/qt_controls.h"

namespace quillet::e2e {
namespace {

using StartUp = QuilletSession;

const QString kOpenFailure =
    "An error occurred while opening the COM port. Ensure that the port number is correct and "
    "that another application is not using this port.";
const QString kReadFailure =
    "An error occurred while communicating with the printer. Ensure that the printer is still "
    "connected to your PC and that the green LED is ON.";

bool hasWindow(const std::vector<WindowState>& windows, const QString& title) {
    return std::any_of(windows.begin(), windows.end(),
                       [&](const WindowState& w) { return w.title == title; });
}

TEST_F(StartUp, ResponsivePrinterOnTheWireListsTheSixLines) {
    printer.setPacing(true);
    printer.setLine(3, 2, "");
    printer.setLine(5, 2, "   ");
    UserScript script;
    script.onModal("Select Serial Port", [](Dialog& d) {
        EXPECT_TRUE(controlHandle<ButtonControl>(d, control::kCom1).isChecked());
        EXPECT_EQ(focusedControlId(d), kIdOk);
        QTest::keyClick(qt(d), Qt::Key_Return);
    });
    whenLoaded(script, "loaded", [](MainWindow& w) {
        EXPECT_EQ(entries(w), QStringList({
                                  "Header Message #1          Brellic Technology",
                                  "Header Message #2          418 Larkspur Blvd",
                                  "Header Message #3          <blank>",
                                  "Header Message #4          TEL: (555) 010-2000",
                                  "Header Message #5          ",
                                  "Header Message #6          Measured with Care",
                              }));
        EXPECT_EQ(selectedEntry(w), 0);
        EXPECT_TRUE(modifyEnabled(w));
        EXPECT_EQ(focusedControlId(w), kIdOk);
        EXPECT_EQ(w.caption(), "Quillet");
        EXPECT_FALSE(qt(w)->windowIcon().isNull());
        // Alignment spaces are not shown but stay in the record.
        EXPECT_STREQ(w.headerTable()[0].text, "  Brellic Technology");
        EXPECT_EQ(w.headerTable()[0].font, 3);
        EXPECT_STREQ(w.headerTable()[4].text, "   ");
        click(w, kIdOk);
    });
    EXPECT_EQ(run(script), 0);

    EXPECT_EQ(recorder->shownTitles(), QStringList({"Select Serial Port", "Wait...", "Quillet"}));
    // The wait window is up and painted, the main window not yet shown, while the first
    // readback waits for its reply.
    const std::vector<PauseTaken> pauses = recorder->pauses();
    ASSERT_FALSE(pauses.empty());
    ASSERT_EQ(pauses.front().windows.size(), 1u);
    EXPECT_EQ(pauses.front().windows[0].title, "Wait...");
    EXPECT_TRUE(pauses.front().windows[0].paintedTexts.contains(
        "Communicating with Printer.  Please wait..."));
    EXPECT_EQ(pauses.back().ms, 500);
    EXPECT_EQ(receivedSince(0, 34), kMode5 + queries(1, 6) + kMode1);
}

TEST_F(StartUp, CancelInThePortSelectionEndsWithNothingWritten) {
    UserScript script;
    script.onModal("Select Serial Port", [](Dialog& d) { click(d, kIdCancel); });
    EXPECT_EQ(run(script), 0);

    EXPECT_EQ(recorder->shownTitles(), QStringList({"Select Serial Port"}));
    EXPECT_EQ(recorder->pauseLengths(), std::vector<int>({500}));
    EXPECT_FALSE(printer.waitForReceived(1, std::chrono::milliseconds(300)));
}

TEST_F(StartUp, HeldPortIsOfferedAgainUntilItIsFree) {
    test::OtherHolder other(printer.devicePath(), test::OtherHolder::Hold::Lock);
    ASSERT_TRUE(other.holding());
    UserScript script;
    for (int attempt = 0; attempt < 3; ++attempt) {
        chooseCom1(script);
        script.onModal("Communication Failure", [](Dialog& d) { click(d, kIdOk); });
    }
    script.onModal("Select Serial Port", [&](Dialog& d) {
        other.stop();
        QTest::keyClick(qt(d), Qt::Key_Return);
    });
    whenLoaded(script, "loaded", [](MainWindow& w) {
        EXPECT_EQ(entries(w), kDefaultEntries);
        click(w, kIdOk);
    });
    run(script);

    const QString ps = "Select Serial Port";
    const QString cf = "Communication Failure";
    EXPECT_EQ(recorder->shownTitles(),
              QStringList({ps, cf, ps, cf, ps, cf, ps, "Wait...", "Quillet"}));
    for (const ShownWindow& shown : recorder->shown()) {
        if (shown.title == cf) {
            EXPECT_EQ(shown.message, kOpenFailure);
        }
    }
    EXPECT_EQ(receivedSince(0, 34), kMode5 + queries(1, 6) + kMode1);
}

TEST_F(StartUp, SilentPrinterGivesSixLoadingErrorsAndOneNotice) {
    printer.setFaults(switchedOff());
    recorder->shortenPauses(true);
    UserScript script;
    chooseCom1(script);
    script.onModal("Communication Failure", [](Dialog& d) { click(d, kIdOk); });
    whenLoaded(script, "loaded", [](MainWindow& w) {
        QStringList expected;
        for (int line = 1; line <= 6; ++line) {
            expected << QString("Header Message #%1          <loading error>").arg(line);
        }
        EXPECT_EQ(entries(w), expected);
        for (const HeaderRecord& record : w.headerTable()) {
            EXPECT_EQ(record.font, 5);
            EXPECT_STREQ(record.text, "");
        }
        EXPECT_EQ(selectedEntry(w), 0);
        EXPECT_TRUE(modifyEnabled(w));
        click(w, kIdOk);
    });
    run(script);

    const std::vector<ShownWindow> shown = recorder->shown();
    ASSERT_EQ(recorder->shownTitles(),
              QStringList({"Select Serial Port", "Wait...", "Communication Failure", "Quillet"}));
    EXPECT_EQ(shown[2].message, kReadFailure);
    EXPECT_TRUE(hasWindow(shown[2].others, "Wait..."));
    // Four tries of 500 ms for each line, then the pause before the port closes.
    EXPECT_EQ(recorder->pauseLengths(), std::vector<int>(25, 500));
    EXPECT_EQ(receivedSince(0, 34), kMode5 + queries(1, 6) + kMode1);
}

TEST_F(StartUp, UserSelectionGovernsTheModifyButton) {
    UserScript script;
    chooseCom1(script);
    whenLoaded(script, "loaded", [](MainWindow& w) {
        auto* list = qtControlAs<ListBox>(w, control::kHeaderList);
        const QRect first = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, first.center());
        EXPECT_EQ(selectedEntry(w), -1);
        EXPECT_FALSE(modifyEnabled(w));
        clickEntry(w, 5);
        EXPECT_EQ(selectedEntry(w), 5);
        EXPECT_TRUE(modifyEnabled(w));
        click(w, kIdOk);
    });
    run(script);
}

}  // namespace
}  // namespace quillet::e2e
