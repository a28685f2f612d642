#include "link/reader_thread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "link/line_reader.h"
#include "link/port_platform.h"
#include "link/receive_ring.h"
#include "link/serial_port.h"

namespace quillet {

namespace {

// A gone device fails every read at once; without a pause the reader would spin. The
// pause doubles while the failures go on, so a device that stays gone costs next to nothing.
constexpr std::chrono::milliseconds kFirstReadBackOff{50};
constexpr std::chrono::milliseconds kLongestReadBackOff{400};

// A stop request that also cuts the reader's waits short.
class StopSignal {
  public:
    void request() {
        {
            const std::lock_guard<std::mutex> hold(mutex_);
            requested_.store(true, std::memory_order_release);
        }
        changed_.notify_all();
    }
    void reset() { requested_.store(false, std::memory_order_release); }
    bool requested() const { return requested_.load(std::memory_order_acquire); }
    const std::atomic<bool>& flag() const { return requested_; }
    // True when a stop was requested before the time was up.
    bool waitFor(std::chrono::milliseconds time) {
        std::unique_lock<std::mutex> hold(mutex_);
        return changed_.wait_for(hold, time, [this] { return requested(); });
    }

  private:
    std::atomic<bool> requested_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
};

struct Reader {
    // A reader still running at exit is ended, not left to touch what exit destroys.
    ~Reader() { stop(); }
    void stop();

    std::thread thread;
    StopSignal stopSignal;
};

Reader& reader() {
    // Made first, so that it is destroyed after the reader that fills it.
    receiveRing();
    static Reader state;
    return state;
}

// Never overwrites unread bytes: sleeps until the window thread has taken some (the
// driver holds what arrives meanwhile).
bool storeByte(ReceiveRing& ring, const StopSignal& stop, unsigned char byte) {
    while (!ring.tryPush(byte)) {
        if (!ring.waitForRoom(stop.flag())) {
            return false;
        }
    }
    return true;
}

void readerLoop(ReceiveRing& ring, StopSignal& stop) {
    raiseReaderPriority();
    unsigned char byte = 0;
    std::chrono::milliseconds backOff = kFirstReadBackOff;
    while (!stop.requested()) {
        if (!readByte(byte)) {
            stop.waitFor(backOff);
            backOff = std::min(backOff * 2, kLongestReadBackOff);
            continue;
        }
        backOff = kFirstReadBackOff;
        storeByte(ring, stop, byte);
    }
}

void Reader::stop() {
    if (!thread.joinable()) {
        return;
    }
    stopSignal.request();
    wakeReader();
    receiveRing().wakeProducer();
    thread.join();
    clearReaderWake();
}

}  // namespace

bool startReader() {
    Reader& state = reader();
    if (state.thread.joinable()) {
        return true;
    }
    if (!portIsOpen()) {
        return false;
    }
    state.stopSignal.reset();
    try {
        state.thread = std::thread(readerLoop, std::ref(receiveRing()), std::ref(state.stopSignal));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void stopReader() {
    reader().stop();
}

}  // namespace quillet
