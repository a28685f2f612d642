// The ticker on Qt: a timer of the event loop, which every modal run's loop serves.
#include <QTimer>

#include "tests/scenarios/ticker.h"

namespace quillet::scenario {

struct Ticker::State {
    QTimer timer;
};

Ticker::Ticker(std::function<void()> tick) : state_(std::make_unique<State>()) {
    QObject::connect(&state_->timer, &QTimer::timeout, std::move(tick));
    state_->timer.start(10);
}

Ticker::~Ticker() = default;

// A timer's slot is not called again while it runs, even from a nested loop: an action
// that opens a modal window must run outside it.
void Ticker::soon(std::function<void()> act) {
    QTimer::singleShot(0, &state_->timer, std::move(act));
}

}  // namespace quillet::scenario
