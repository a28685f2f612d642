// The ticker on Win32: a thread timer whose procedure every message loop of the thread calls
// (DispatchMessage of WM_TIMER), the loops of modal dialogs and menus included. WM_TIMER
// comes only when no input is waiting.
#include <windows.h>

#include <map>

#include "tests/scenarios/ticker.h"

namespace quillet::scenario {

struct Ticker::State {
    std::function<void()> tick;
    UINT_PTR timer = 0;
};

namespace {

std::map<UINT_PTR, std::function<void()>*>& tickers() {
    static std::map<UINT_PTR, std::function<void()>*> running;
    return running;
}

void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    const auto found = tickers().find(timer);
    if (found != tickers().end()) {
        (*found->second)();
    }
}

}  // namespace

Ticker::Ticker(std::function<void()> tick) : state_(std::make_unique<State>()) {
    state_->tick = std::move(tick);
    state_->timer = SetTimer(nullptr, 0, 10, &onTimer);
    tickers()[state_->timer] = &state_->tick;
}

Ticker::~Ticker() {
    KillTimer(nullptr, state_->timer);
    tickers().erase(state_->timer);
}

// The hands only queue input here; the loop that runs the tick handles it afterwards.
void Ticker::soon(std::function<void()> act) {
    act();
}

}  // namespace quillet::scenario
