#include "tests/win32/message_steps.h"

#include <map>

namespace quillet::wine {

namespace {

std::map<UINT_PTR, MessageSteps*>& running() {
    static std::map<UINT_PTR, MessageSteps*> steps;
    return steps;
}

constexpr UINT kTickMs = 15;

}  // namespace

MessageSteps::MessageSteps(std::vector<Step> steps) : steps_(std::move(steps)) {
    timer_ = SetTimer(nullptr, 0, kTickMs, &MessageSteps::tick);
    running()[timer_] = this;
}

MessageSteps::Step MessageSteps::when(std::function<bool()> ready, std::function<void()> action) {
    Step step(std::move(action));
    step.ready = std::move(ready);
    return step;
}

MessageSteps::~MessageSteps() {
    KillTimer(nullptr, timer_);
    running().erase(timer_);
}

void CALLBACK MessageSteps::tick(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = running().find(timer);
    if (found == running().end()) {
        return;
    }
    MessageSteps& self = *found->second;
    if (self.finished()) {
        KillTimer(nullptr, timer);
        return;
    }
    // A step may run a modal loop of its own, which dispatches this timer again: the next
    // step waits until this one has returned.
    if (self.running_) {
        return;
    }
    Step& step = self.steps_[self.next_];
    if (step.ready && !step.ready()) {
        return;
    }
    self.running_ = true;
    ++self.next_;
    step.action();
    self.running_ = false;
}

void postKey(HWND window, UINT virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageW(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

void postChar(HWND window, wchar_t character) {
    PostMessageW(window, WM_CHAR, character, 1);
}

}  // namespace quillet::wine
