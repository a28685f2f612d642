#include "tests/scenarios/scenario.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "link/pause.h"
#include "link/reader_thread.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"

namespace quillet::scenario {

namespace {

// The link keeps its state for the whole process: start each run from a quiet one.
void resetLink() {
    closePort();
    discardReceived();
}

}  // namespace

Scenario* Scenario::current_ = nullptr;

Scenario::Scenario() {
    current_ = this;
    setPauseHook(&Scenario::onPause);
}

Scenario::~Scenario() {
    setPauseHook(nullptr);
    app_.reset();
    resetLink();
    current_ = nullptr;
}

void Scenario::SetUp() {
    ASSERT_TRUE(printer.ready()) << "no emulated printer behind COM1";
    resetLink();
    app_ = std::make_unique<Application>(argc_, argv_);
}

void Scenario::run(UserScript& script) {
    script.observe([this] { noteWindows(); });
    app_->run();
    if (script.timedOut()) {
        ADD_FAILURE() << "stuck at: " << script.waitingFor();
    } else {
        EXPECT_EQ(script.waitingFor(), "") << "the program ended before this step";
    }
}

void Scenario::startWithCom1(UserScript& script, std::function<void(Dialog&)> act) {
    script.onWindow("Select Serial Port", [](Dialog&) { desk::press(desk::Key::Enter); });
    whenListed(script, "the six lines listed", std::move(act));
}

void Scenario::whenListed(UserScript& script, const std::string& name,
                          std::function<void(Dialog&)> act) {
    script.then(
        name,
        [] {
            const Dialog* front = frontWindow();
            return front != nullptr && front == Dialog::mainWindow() &&
                   controlHandle<ListBoxControl>(*front, control::kHeaderList).count() == 6;
        },
        [act = std::move(act)] { act(*Dialog::mainWindow()); });
}

void Scenario::duringPause(int ms, std::function<void()> act) {
    pauseActs_.emplace_back(ms, std::move(act));
}

// Sleeps every pause whole: the printer answers during most of them.
void Scenario::onPause(int ms) {
    if (current_ != nullptr) {
        auto& acts = current_->pauseActs_;
        const auto due = std::find_if(acts.begin(), acts.end(),
                                      [ms](const auto& act) { return act.first == ms; });
        if (due != acts.end()) {
            const std::function<void()> act = std::move(due->second);
            acts.erase(due);
            act();
        }
        current_->noteWindows();
        Pause pause{ms, {}};
        for (const Dialog* window : openWindows()) {
            if (window->isWindowVisible()) {
                pause.windows.push_back(window->caption());
            }
        }
        current_->pauses_.push_back(std::move(pause));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Scenario::noteWindows() {
    std::vector<const Dialog*> visible;
    for (const Dialog* window : openWindows()) {
        if (window->isWindowVisible()) {
            visible.push_back(window);
            if (std::find(visible_.begin(), visible_.end(), window) == visible_.end()) {
                seen_.push_back(window->caption());
            }
        }
    }
    visible_ = std::move(visible);
}

std::vector<std::string> entries(const Dialog& window, int listBoxId) {
    const auto list = controlHandle<ListBoxControl>(window, listBoxId);
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i) {
        texts.push_back(list.itemText(i));
    }
    return texts;
}

int selectedEntry(const Dialog& window, int listBoxId) {
    return controlHandle<ListBoxControl>(window, listBoxId).currentSelection();
}

std::string textOf(const Dialog& window, int controlId) {
    return controlHandle<Control>(window, controlId).text();
}

std::vector<int> warningsShown(const Dialog& editor) {
    std::vector<int> shown;
    for (int id : {control::kWarningIcon, control::kUnprintableMessage, control::kTooLongMessage}) {
        if (controlHandle<Control>(editor, id).isVisible()) {
            shown.push_back(id);
        }
    }
    return shown;
}

}  // namespace quillet::scenario
