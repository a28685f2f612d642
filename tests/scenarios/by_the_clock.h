#pragma once

#include <functional>
#include <vector>

namespace quillet::scenario {

struct TimedStep {
    int afterMs = 0;  // after the step before
    std::function<void()> act;
};

// Gives input by the clock, as a user's hands do, rather than once the program has answered:
// the steps run in turn on a thread of their own, whether or not the window thread is busy
// meanwhile. Steps given while earlier ones still run wait for them.
void byTheClock(std::vector<TimedStep> steps);
// Whether every step given so far has been done.
bool clockDone();

}  // namespace quillet::scenario
