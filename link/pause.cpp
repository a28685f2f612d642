#include "link/pause.h"
#include "link/testing/link_testing.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace quillet {

namespace {

std::atomic<PauseHook> pauseHook{nullptr};

}  // namespace

void pause(int milliseconds) {
    if (PauseHook hook = pauseHook.load()) {
        hook(milliseconds);
        return;
    }
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

PauseHook setPauseHook(PauseHook hook) {
    return pauseHook.exchange(hook);
}

}  // namespace quillet
