#pragma once

#include <string_view>
#include <vector>

#include "link/pause.h"
#include "link/receive_ring.h"
#include "link/testing/link_testing.h"

namespace quillet::test {

// Pushes every byte; false as soon as the ring is full.
inline bool push(ReceiveRing& ring, std::string_view bytes) {
    for (char byte : bytes) {
        if (!ring.tryPush(static_cast<unsigned char>(byte))) {
            return false;
        }
    }
    return true;
}

// Records the pauses instead of sleeping, and can act on the n-th one.
class PauseRecorder {
  public:
    using Action = void (*)(int pauseNumber);

    explicit PauseRecorder(Action action = nullptr) {
        pauses().clear();
        onPause() = action;
        previous_ = setPauseHook(&record);
    }
    ~PauseRecorder() {
        setPauseHook(previous_);
        onPause() = nullptr;
    }
    PauseRecorder(const PauseRecorder&) = delete;
    PauseRecorder& operator=(const PauseRecorder&) = delete;

    const std::vector<int>& taken() const { return pauses(); }

  private:
    static std::vector<int>& pauses() {
        static std::vector<int> list;
        return list;
    }
    static Action& onPause() {
        static Action action = nullptr;
        return action;
    }
    static void record(int milliseconds) {
        pauses().push_back(milliseconds);
        if (onPause() != nullptr) {
            onPause()(static_cast<int>(pauses().size()));
        }
    }

    PauseHook previous_ = nullptr;
};

}  // namespace quillet::test
