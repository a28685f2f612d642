// Start-up and closing, as the user sees them and as the printer receives them.
#include "tests/scenarios/scenario.h"

namespace quillet::scenario {
namespace {

using StartUp = Scenario;
using Strings = std::vector<std::string>;

const std::string kOpenFailure =
    "An error occurred while opening the COM port. Ensure that the port number is correct and "
    "that another application is not using this port.";

bool checked(const Dialog& window, int radioId) {
    return controlHandle<ButtonControl>(window, radioId).isChecked();
}

TEST_F(StartUp, TheWaitWindowThenTheSixLinesAndOkSwitchesThePrinterBack) {
    printer.setLine(3, 2, "");
    UserScript script;
    script.onWindow("Select Serial Port", [](Dialog& ports) {
        EXPECT_TRUE(checked(ports, control::kCom1));
        EXPECT_FALSE(checked(ports, control::kCom2));
        EXPECT_EQ(focusedControlId(ports), kIdOk);
        desk::press(desk::Key::Enter);
    });
    whenListed(script, "the six lines listed", [this](Dialog& main) {
        Strings expected = kDefaultEntries;
        expected[2] = "Header Message #3          <blank>";
        EXPECT_EQ(entries(main, control::kHeaderList), expected);
        EXPECT_EQ(selectedEntry(main, control::kHeaderList), 0);
        EXPECT_TRUE(controlHandle<ButtonControl>(main, control::kModify).isEnabled());
        EXPECT_EQ(focusedControlId(main), kIdOk);
        EXPECT_TRUE(printer.portHeld());
        desk::click(main, kIdOk);
    });
    run(script);

    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Wait...", "Quillet"}));
    // The first readback waits for the printer with the wait window alone on screen.
    ASSERT_FALSE(pauses().empty());
    EXPECT_EQ(pauses().front().windows, Strings{"Wait..."});
    EXPECT_EQ(pauses().back().ms, 500);
    const std::string expected = kMode5 + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
    EXPECT_FALSE(printer.portHeld());
}

TEST_F(StartUp, APortThatDoesNotOpenIsReportedAndThePortIsAskedForAgain) {
    UserScript script;
    script.onWindow("Select Serial Port",
                    [](Dialog& ports) { desk::click(ports, control::kCom2); });
    script.onWindow("Select Serial Port", [](Dialog& ports) {
        EXPECT_FALSE(checked(ports, control::kCom1));
        EXPECT_TRUE(checked(ports, control::kCom2));
        desk::press(desk::Key::Enter);
    });
    script.onWindow("Communication Failure", [](Dialog& notice) {
        EXPECT_EQ(textOf(notice, control::kFailureMessage), kOpenFailure);
        EXPECT_EQ(focusedControlId(notice), kIdOk);
        desk::press(desk::Key::Enter);
    });
    script.onWindow("Select Serial Port", [](Dialog& ports) {
        EXPECT_TRUE(checked(ports, control::kCom1));
        desk::press(desk::Key::Enter);
    });
    whenListed(script, "the six lines listed", [](Dialog& main) {
        EXPECT_EQ(entries(main, control::kHeaderList), kDefaultEntries);
        desk::press(desk::Key::Escape);
    });
    run(script);

    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Communication Failure", "Select Serial Port",
                               "Wait...", "Quillet"}));
    const std::string expected = kMode5 + queries(1, 6) + kMode1;
    EXPECT_EQ(printer.received(expected.size()), expected);
    EXPECT_FALSE(printer.portHeld());
}

TEST_F(StartUp, CancelAtThePortChoiceEndsTheProgramWithNothingSent) {
    UserScript script;
    script.onWindow("Select Serial Port", [](Dialog& ports) { desk::click(ports, kIdCancel); });
    run(script);

    EXPECT_EQ(seen(), Strings{"Select Serial Port"});
    ASSERT_EQ(pauses().size(), 1u);
    EXPECT_EQ(pauses().front().ms, 500);
    EXPECT_EQ(printer.received(), "");
}

}  // namespace
}  // namespace quillet::scenario
