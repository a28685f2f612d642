#include "tests/scenarios/by_the_clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace quillet::scenario {
namespace {

struct Hands {
    std::thread thread;
    std::atomic<bool> busy{false};

    ~Hands() { join(); }
    void join() {
        if (thread.joinable()) {
            thread.join();
        }
    }
};

Hands& hands() {
    static Hands running;
    return running;
}

}  // namespace

void byTheClock(std::vector<TimedStep> steps) {
    Hands& h = hands();
    h.join();
    h.busy = true;
    h.thread = std::thread([steps = std::move(steps), &h] {
        for (const TimedStep& step : steps) {
            std::this_thread::sleep_for(std::chrono::milliseconds(step.afterMs));
            step.act();
        }
        h.busy = false;
    });
}

bool clockDone() {
    return !hands().busy;
}

}  // namespace quillet::scenario
