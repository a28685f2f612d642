// The main window's other actions: the test page, the maker's lines, the about box.
#include <algorithm>

#include "tests/scenarios/scenario.h"

namespace quillet::scenario {
namespace {

using MainWindowActions = Scenario;
using Strings = std::vector<std::string>;

TEST_F(MainWindowActions, PrintTestPageThenSetDefaultsUnderTheWaitWindow) {
    printer.setLine(1, 7, "Custom line");
    std::size_t shownBeforePrinting = 0;
    UserScript script;
    startWithCom1(script, [&](Dialog& main) {
        EXPECT_EQ(entries(main, control::kHeaderList)[0], "Header Message #1          Custom line");
        shownBeforePrinting = seen().size();
        desk::click(main, control::kPrintTestPage);
    });
    whenListed(script, "printed", [&](Dialog& main) {
        EXPECT_EQ(seen().size(), shownBeforePrinting) << "printing shows no window";
        desk::click(main, control::kSetDefaults);
    });
    whenListed(script, "the maker's lines listed", [](Dialog& main) {
        EXPECT_EQ(entries(main, control::kHeaderList), kDefaultEntries);
        EXPECT_EQ(selectedEntry(main, control::kHeaderList), 0);
        desk::click(main, kIdOk);
    });
    run(script);

    std::string testPage = kMode5;
    for (char line = '1'; line <= '6'; ++line) {
        testPage += std::string("\x1bH\x1b") + line + "\n";
    }
    testPage += std::string(6, '\n');
    const std::string expected =
        kMode5 + queries(1, 6) + testPage + kMode5 + kDefaultSetBytes + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Wait...", "Quillet", "Wait..."}));
    // The printer gets its time to store the lines while the wait window is up.
    const auto storing = std::find_if(pauses().begin(), pauses().end(),
                                      [](const Pause& pause) { return pause.ms == 2000; });
    ASSERT_NE(storing, pauses().end());
    EXPECT_EQ(storing->windows, (Strings{"Quillet", "Wait..."}));
}

TEST_F(MainWindowActions, TheAboutBoxOpensFromTheWindowMenu) {
    UserScript script;
    startWithCom1(script, [](Dialog&) { desk::chooseFromWindowMenu("&About Quillet..."); });
    script.onWindow("About Quillet", [](Dialog& about) {
        EXPECT_EQ(focusedControlId(about), kIdOk);
        desk::press(desk::Key::Enter);
    });
    whenListed(script, "the about box closed", [](Dialog&) { desk::press(desk::Key::Escape); });
    run(script);

    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Wait...", "Quillet", "About Quillet"}));
    const std::string expected = kMode5 + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
}

}  // namespace
}  // namespace quillet::scenario
