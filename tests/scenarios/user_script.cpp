#include "tests/scenarios/user_script.h"

#include "tests/scenarios/desk.h"

namespace quillet::scenario {

namespace {

UserScript* running = nullptr;

}  // namespace

UserScript::UserScript(std::chrono::seconds deadline)
    : deadline_(std::chrono::steady_clock::now() + deadline), ticker_([this] { tick(); }) {
    running = this;
}

UserScript::~UserScript() {
    running = nullptr;
}

void UserScript::then(std::string name, Condition ready, Action act) {
    steps_.push_back({std::move(name), std::move(ready), std::move(act)});
}

void UserScript::onWindow(const std::string& caption, std::function<void(Dialog&)> act) {
    then(
        caption, [caption] { return windowUp(caption); },
        [act = std::move(act)] {
            if (Dialog* window = frontWindow()) {
                act(*window);
            }
        });
}

void UserScript::afterInput(Action act) {
    if (running != nullptr) {
        running->gesture_.push_back(std::move(act));
    }
}

void UserScript::tick() {
    if (std::chrono::steady_clock::now() > deadline_) {
        timedOut_ = true;
        closeEverything();
        return;
    }
    if (watch_) {
        watch_();
    }
    // One action at a time: the next waits until the one handed over has started.
    if (acting_) {
        return;
    }
    Action act;
    if (!gesture_.empty()) {
        act = std::move(gesture_.front());
        gesture_.pop_front();
    } else if (!steps_.empty() && steps_.front().ready()) {
        act = std::move(steps_.front().act);
        steps_.pop_front();
    } else {
        return;
    }
    acting_ = true;
    ticker_.soon([this, act = std::move(act)] {
        acting_ = false;
        act();
    });
}

void UserScript::closeEverything() {
    // A window closed under an open menu would wait for the menu.
    if (desk::closeMenus()) {
        return;
    }
    if (Dialog* window = frontWindow()) {
        window->endDialog(kClosedByDeadline);
    }
}

Dialog* frontWindow() {
    const std::vector<Dialog*> open = openWindows();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        if ((*it)->isWindowVisible()) {
            return *it;
        }
    }
    return nullptr;
}

bool windowUp(const std::string& caption) {
    const Dialog* window = frontWindow();
    return window != nullptr && window->caption() == caption;
}

}  // namespace quillet::scenario
