#pragma once

// Drives a window from inside its own message loop: each step runs from a thread timer,
// which the loop of a modal run (or any other) dispatches only once the messages the
// step before posted have been handled. So a step can post input and the next one can
// look at what it did.

#include <windows.h>

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

namespace quillet::wine {

class MessageSteps {
  public:
    struct Step {
        template <class Action>
        requires std::is_invocable_v<Action&> Step(Action action)
            : action(std::move(action)) {}  // NOLINT: steps are lambdas
        std::function<void()> action;
        // The step waits, tick after tick, until this holds.
        std::function<bool()> ready;
    };
    // A step that waits for its condition first (a window up, say).
    static Step when(std::function<bool()> ready, std::function<void()> action);

    // The steps start with the next message loop of this thread.
    explicit MessageSteps(std::vector<Step> steps);
    ~MessageSteps();
    MessageSteps(const MessageSteps&) = delete;
    MessageSteps& operator=(const MessageSteps&) = delete;

    bool finished() const { return next_ >= steps_.size(); }

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR timer, DWORD);

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    bool running_ = false;
    UINT_PTR timer_ = 0;
};

// Posts a key press to a window as the keyboard would, down then up (the message loop
// translates it into a character where it makes one).
void postKey(HWND window, UINT virtualKey);
// Posts one typed character, as WM_CHAR.
void postChar(HWND window, wchar_t character);

}  // namespace quillet::wine
