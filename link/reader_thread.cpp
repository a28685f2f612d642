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
#include "link/traffic_trace.h"

namespace quillet {

namespace {

// A gone device fails every read at once; without a pause the reader would spin. The
// pause doubles while the failures go on, so a device that stays gone costs next to nothing.
constexpr std::chrono::milliseconds kFirstReadBackOff{50};
constexpr std::chrono::milliseconds kLongestReadBackOff{400};

// How long the window thread waits for the reader to let go of what it holds. It lets go
// within one byte's handling; the limit only keeps a stuck reader from freezing the window.
constexpr std::chrono::milliseconds kHoldLimit{1000};

// What the window thread asks of the reader: to stop, or to hold still holding no byte
// while what was received is discarded. Either one cuts the reader's waits short.
class ReaderControl {
  public:
    void reset() {
        const std::lock_guard<std::mutex> hold(mutex_);
        stop_ = false;
        hold_ = false;
        interrupted_.store(false);
    }
    void requestStop() {
        change([this] { stop_ = true; });
    }
    bool stopRequested() {
        const std::lock_guard<std::mutex> hold(mutex_);
        return stop_;
    }
    // Set while a stop or a hold is asked for; the ring's wait for room looks at it.
    const std::atomic<bool>& interrupted() const { return interrupted_; }

    // Window thread: asks the reader to hold still, then waits until it does (true) or
    // has stopped.
    void askToHold() {
        change([this] { hold_ = true; });
    }
    bool waitUntilHolding() {
        std::unique_lock<std::mutex> hold(mutex_);
        return changed_.wait_for(hold, kHoldLimit, [this] { return holding_ || stop_; });
    }
    void letGo() {
        change([this] { hold_ = false; });
    }

    // Reader thread, holding no byte: waits while a hold is asked for.
    void holdStillIfAsked() {
        std::unique_lock<std::mutex> hold(mutex_);
        if (!hold_) {
            return;
        }
        holding_ = true;
        changed_.notify_all();
        changed_.wait(hold, [this] { return !hold_ || stop_; });
        holding_ = false;
    }
    // Reader thread: pauses for the time, or less when a stop or hold is asked for.
    void pauseFor(std::chrono::milliseconds time) {
        std::unique_lock<std::mutex> hold(mutex_);
        changed_.wait_for(hold, time, [this] { return stop_ || hold_; });
    }

  private:
    template <class Change>
    void change(Change apply) {
        {
            const std::lock_guard<std::mutex> hold(mutex_);
            apply();
            interrupted_.store(stop_ || hold_);
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    bool hold_ = false;
    bool holding_ = false;
    std::atomic<bool> interrupted_{false};
};

struct Reader {
    // A reader still running at exit is ended, not left to touch what exit destroys.
    ~Reader() { stop(); }
    void stop();
    void interrupt();

    std::thread thread;
    ReaderControl control;
};

Reader& reader() {
    // Made first, so that it is destroyed after the reader that fills it.
    receiveRing();
    static Reader state;
    return state;
}

// Never overwrites unread bytes: sleeps until the window thread has taken some (the
// driver holds what arrives meanwhile). A byte that finds no room before a stop or a
// hold is dropped: what the reader holds is to be discarded then.
void storeByte(ReceiveRing& ring, const ReaderControl& control, unsigned char byte) {
    while (!ring.tryPush(byte)) {
        if (!ring.waitForRoom(control.interrupted())) {
            return;
        }
    }
}

void readerLoop(ReceiveRing& ring, ReaderControl& control) {
    raiseReaderPriority();
    unsigned char byte = 0;
    std::chrono::milliseconds backOff = kFirstReadBackOff;
    while (!control.stopRequested()) {
        control.holdStillIfAsked();
        if (readByte(byte)) {
            backOff = kFirstReadBackOff;
            reportTraffic(TrafficDirection::Received, &byte, 1);
            storeByte(ring, control, byte);
        } else if (!control.interrupted().load()) {
            control.pauseFor(backOff);
            backOff = std::min(backOff * 2, kLongestReadBackOff);
        }
    }
}

// Cuts short whatever the reader waits for: a byte, room in the ring, its back-off.
void Reader::interrupt() {
    wakeReader();
    receiveRing().wakeProducer();
}

void Reader::stop() {
    if (!thread.joinable()) {
        return;
    }
    control.requestStop();
    interrupt();
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
    state.control.reset();
    try {
        state.thread = std::thread(readerLoop, std::ref(receiveRing()), std::ref(state.control));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void stopReader() {
    reader().stop();
}

// The reader lets go of its byte and holds still before the driver's queue and the ring
// are emptied, so nothing received before the call can reach the ring after it.
void discardReceived() {
    Reader& state = reader();
    const bool running = state.thread.joinable();
    if (running) {
        state.control.askToHold();
        state.interrupt();
        state.control.waitUntilHolding();
    }
    flushPortInput();
    ReceiveRing& ring = receiveRing();
    ring.releaseTo(ring.writeIndex());
    lineReader().startAfresh();
    if (running) {
        clearReaderWake();
        state.control.letGo();
    }
}

}  // namespace quillet
