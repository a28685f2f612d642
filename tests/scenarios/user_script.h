#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "tests/scenarios/ticker.h"
#include "ui/toolkit/testing/dialog_testing.h"

namespace quillet::scenario {

// Plays the user: steps, each done once its condition holds. Conditions are looked at on
// every tick of the running message loop, whichever modal run it belongs to, so a step sees
// what the input of the step before has done. At the deadline every window still up is
// closed, so that a mistake fails the scenario instead of hanging it.
class UserScript {
  public:
    using Condition = std::function<bool()>;
    using Action = std::function<void()>;
    static constexpr int kClosedByDeadline = -99;

    explicit UserScript(std::chrono::seconds deadline = std::chrono::seconds(60));
    ~UserScript();
    UserScript(const UserScript&) = delete;
    UserScript& operator=(const UserScript&) = delete;

    void then(std::string name, Condition ready, Action act);
    // When the window with that caption is in front, act on it.
    void onWindow(const std::string& caption, std::function<void(Dialog&)> act);
    // Called at every tick, before the steps.
    void observe(Action watch) { watch_ = std::move(watch); }

    bool timedOut() const { return timedOut_; }
    // The step being waited for; empty when all are done.
    std::string waitingFor() const { return steps_.empty() ? "" : steps_.front().name; }

    // For the hands: the next part of a gesture, done at the next tick of the running
    // script, ahead of its steps, once the input sent so far has been handled.
    static void afterInput(Action act);

  private:
    struct Step {
        std::string name;
        Condition ready;
        Action act;
    };

    void tick();
    void closeEverything();

    std::deque<Step> steps_;
    std::deque<Action> gesture_;
    Action watch_;
    std::chrono::steady_clock::time_point deadline_;
    bool timedOut_ = false;
    bool acting_ = false;
    Ticker ticker_;
};

// The newest of our windows on screen: the one the user is looking at.
Dialog* frontWindow();
bool windowUp(const std::string& caption);

}  // namespace quillet::scenario
