// The program on a Wayland compositor (run under Weston by run_under_weston): the windows
// keep their own size and state whatever state the compositor is asked for.
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <memory>

#include "tests/scenarios/scenario.h"
#include "ui/toolkit/qt/qt_testing.h"

namespace quillet::scenario {
namespace {

class OnWayland : public Scenario {
  protected:
    void SetUp() override {
        Scenario::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), "wayland")
            << "these scenarios run on a Wayland compositor (QT_QPA_PLATFORM=wayland)";
    }

    // Asks for the state as Qt's own title bar does, once the window has been up a moment
    // (as a user's click would come), then goes on once it is back in its normal state at its
    // own size, with the compositor's answers handled.
    static void request(UserScript& script, const std::string& caption, Qt::WindowState state) {
        using Clock = std::chrono::steady_clock;
        auto up = std::make_shared<Clock::time_point>();
        auto size = std::make_shared<QSize>();
        script.onWindow(caption, [up](Dialog&) { *up = Clock::now(); });
        script.then(
            "a moment with " + caption + " up",
            [up] { return Clock::now() - *up > std::chrono::milliseconds(300); },
            [state, size] {
                QWidget* widget = qtWindow(*frontWindow());
                *size = widget->size();
                widget->windowHandle()->setWindowStates(state);
            });
        script.then(
            caption + " back in its normal state",
            [caption, size] {
                const Dialog* front = frontWindow();
                const QWidget* widget = front != nullptr ? qtWindow(*front) : nullptr;
                return widget != nullptr && front->caption() == caption &&
                       widget->windowHandle()->windowStates() == Qt::WindowNoState &&
                       widget->size() == *size;
            },
            [] {});
    }
};

TEST_F(OnWayland, MaximiseAndFullScreenLeaveEachWindowAsItWas) {
    UserScript script(std::chrono::seconds(30));
    startWithCom1(script, [](Dialog&) {});
    request(script, "Quillet", Qt::WindowMaximized);
    request(script, "Quillet", Qt::WindowFullScreen);
    script.onWindow("Quillet", [](Dialog& main) { desk::click(main, control::kModify); });
    request(script, "Header Message #1", Qt::WindowMaximized);
    script.onWindow("Header Message #1", [](Dialog&) { desk::press(desk::Key::Escape); });
    whenListed(script, "the editor closed", [](Dialog& main) {
        EXPECT_EQ(entries(main, control::kHeaderList), kDefaultEntries);
        desk::click(main, kIdOk);
    });
    run(script);

    const std::string start = kMode5 + queries(1, 6);
    const std::string sent = printer.received(start.size() + kMode1.size());
    EXPECT_EQ(sent.substr(0, start.size()), start);
    EXPECT_TRUE(sent.ends_with(kMode1)) << "the close switches the printer back";
    EXPECT_EQ(seen(), (std::vector<std::string>{"Select Serial Port", "Wait...", "Quillet",
                                                "Header Message #1"}));
}

}  // namespace
}  // namespace quillet::scenario
