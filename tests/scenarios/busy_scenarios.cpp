// Keys and clicks given while an exchange with the printer holds the window thread, and the
// double click: one action for what the user meant once, and Quillet stays open.
#include <algorithm>

#include "tests/scenarios/by_the_clock.h"
#include "tests/scenarios/scenario.h"

namespace quillet::scenario {
namespace {

using BusyInput = Scenario;
using Strings = std::vector<std::string>;

std::string testPage() {
    std::string bytes = kMode5;
    for (char line = '1'; line <= '6'; ++line) {
        bytes += std::string("\x1bH\x1b") + line + "\n";
    }
    return bytes + std::string(6, '\n');
}

bool mainListed() {
    const Dialog* front = frontWindow();
    return front != nullptr && front == Dialog::mainWindow() &&
           controlHandle<ListBoxControl>(*front, control::kHeaderList).count() == 6;
}

// Once the hands are done and the main window is back with its lines after `waits` wait
// windows, Esc: queued behind any input the program still holds, which then acts first.
void escapeWhenIdle(UserScript& script, const std::vector<std::string>& seen, long waits) {
    script.then(
        "back with the six lines",
        [&seen, waits] {
            return clockDone() && mainListed() &&
                   std::count(seen.begin(), seen.end(), "Wait...") >= waits;
        },
        [] { desk::queuePress(desk::Key::Escape); });
}

TEST_F(BusyInput, ADoubleClickOnSetDefaultsWritesTheMakersLinesOnce) {
    UserScript script;
    startWithCom1(script, [](Dialog& main) { desk::doubleClick(main, control::kSetDefaults); });
    escapeWhenIdle(script, seen(), 2);
    run(script);

    const std::string expected =
        kMode5 + queries(1, 6) + kMode5 + kDefaultSetBytes + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Wait...", "Quillet", "Wait..."}));
}

// The page goes out long before the second click comes.
TEST_F(BusyInput, ADoubleClickOnPrintTestPagePrintsOnePage) {
    UserScript script;
    startWithCom1(script, [](Dialog& main) { desk::doubleClick(main, control::kPrintTestPage); });
    escapeWhenIdle(script, seen(), 1);
    run(script);

    const std::string expected = kMode5 + queries(1, 6) + testPage() + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
}

TEST_F(BusyInput, AClickOnPrintTestPageUnderTheWaitWindowPrintsNothing) {
    UserScript script;
    startWithCom1(script, [](Dialog& main) { desk::click(main, control::kSetDefaults); });
    duringPause(2000, [] { desk::queueClick(*Dialog::mainWindow(), control::kPrintTestPage); });
    escapeWhenIdle(script, seen(), 2);
    run(script);

    const std::string expected =
        kMode5 + queries(1, 6) + kMode5 + kDefaultSetBytes + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
}

// The second Enter comes while the six lines are read.
TEST_F(BusyInput, EnterTwiceAtThePortChoiceLoadsTheLinesAndQuilletStaysOpen) {
    UserScript script;
    script.onWindow("Select Serial Port", [](Dialog&) { desk::pressTwice(desk::Key::Enter, 150); });
    escapeWhenIdle(script, seen(), 1);
    run(script);

    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Wait...", "Quillet"}));
    const std::string expected = kMode5 + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
}

}  // namespace
}  // namespace quillet::scenario
