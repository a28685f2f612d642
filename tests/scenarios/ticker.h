#pragma once

#include <functional>
#include <memory>

namespace quillet::scenario {

// Calls tick every few milliseconds from whichever message loop runs on this thread, the
// loops of modal runs and menus included, until destroyed. A tick comes only once the
// input queued before it has been handled. Each backend defines it in its own file.
class Ticker {
  public:
    explicit Ticker(std::function<void()> tick);
    ~Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

    // Runs act from the message loop once the current tick has returned, so that a modal
    // run that act starts is ticked too.
    void soon(std::function<void()> act);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quillet::scenario
