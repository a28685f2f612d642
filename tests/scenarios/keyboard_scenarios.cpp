// The user with the keyboard alone: every window reached and left by its keys, and the focus
// back on a control of the window below when one closes.
#include "tests/scenarios/scenario.h"

namespace quillet::scenario {
namespace {

using KeyboardAlone = Scenario;
using Strings = std::vector<std::string>;

bool checked(const Dialog& window, int radioId) {
    return controlHandle<ButtonControl>(window, radioId).isChecked();
}

// Each key, then what it did, as the next step.
TEST_F(KeyboardAlone, Com2ByTabAndArrowThenTheEditorAndTheAboutBoxEachGiveTheFocusBack) {
    UserScript script;
    script.onWindow("Select Serial Port", [](Dialog& ports) {
        EXPECT_EQ(focusedControlId(ports), kIdOk);
        desk::press(desk::Key::Tab);
    });
    script.onWindow("Select Serial Port", [](Dialog& ports) {
        EXPECT_EQ(focusedControlId(ports), control::kCom1) << "the checked port is the tab stop";
        desk::press(desk::Key::Down);
    });
    script.onWindow("Select Serial Port", [](Dialog& ports) {
        EXPECT_EQ(focusedControlId(ports), control::kCom2);
        EXPECT_TRUE(checked(ports, control::kCom2));
        EXPECT_FALSE(checked(ports, control::kCom1));
        desk::press(desk::Key::Enter);
    });
    script.onWindow("Communication Failure", [](Dialog& notice) {
        EXPECT_EQ(focusedControlId(notice), kIdOk);
        desk::press(desk::Key::Enter);
    });
    script.onWindow("Select Serial Port", [](Dialog& ports) {
        EXPECT_EQ(focusedControlId(ports), kIdOk);
        desk::press(desk::Key::Enter);
    });
    whenListed(script, "the six lines listed", [](Dialog& main) {
        EXPECT_EQ(focusedControlId(main), kIdOk);
        // OK, Cancel, Print Test Page, Modify...
        for (int i = 0; i < 3; ++i) {
            desk::press(desk::Key::Tab);
        }
    });
    whenListed(script, "on Modify...", [](Dialog& main) {
        EXPECT_EQ(focusedControlId(main), control::kModify);
        desk::press(desk::Key::Space);
    });
    script.onWindow("Header Message #1", [](Dialog&) { desk::press(desk::Key::Escape); });
    whenListed(script, "the editor closed", [](Dialog& main) {
        EXPECT_EQ(focusedControlId(main), control::kModify) << "back where it was";
        desk::chooseFromWindowMenu("&About Quillet...");
    });
    script.onWindow("About Quillet", [](Dialog&) { desk::press(desk::Key::Enter); });
    whenListed(script, "the about box closed", [](Dialog& main) {
        EXPECT_EQ(focusedControlId(main), control::kModify);
        desk::press(desk::Key::Escape);
    });
    run(script);

    EXPECT_EQ(seen(), (Strings{"Select Serial Port", "Communication Failure", "Select Serial Port",
                               "Wait...", "Quillet", "Header Message #1", "About Quillet"}));
    EXPECT_FALSE(printer.portHeld());
}

}  // namespace
}  // namespace quillet::scenario
