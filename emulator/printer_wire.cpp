#include "emulator/printer_wire.h"

#include <algorithm>
#include <thread>

#include "emulator/reply_builder.h"

namespace kv31 {

namespace {

// 9600 baud, 8N1: ten bit times a byte.
constexpr auto kByteTime = std::chrono::microseconds(10'000'000 / 9600);
// As the emulator: replies beyond this many unsent bytes are dropped, as a printer whose
// transmit buffer is full would.
constexpr std::size_t kMaxPendingBytes = std::size_t{64} * 1024;

}  // namespace

void PrinterWire::send(const void* bytes, std::size_t count) {
    const auto* next = static_cast<const char*>(bytes);
    // The sender waits for the wire, as on a real port; the printer acts on a whole line.
    std::this_thread::sleep_for(kByteTime * static_cast<long long>(count));
    const std::lock_guard<std::mutex> hold(mutex_);
    for (std::size_t i = 0; i < count; ++i) {
        takeByte(next[i]);
    }
    changed_.notify_all();
}

bool PrinterWire::receive(unsigned char& out) {
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        if (interrupted_) {
            return false;
        }
        if (toHost_.empty()) {
            changed_.wait(hold);
            continue;
        }
        const Clock::time_point arrives = toHost_.front().arrives;
        if (Clock::now() < arrives) {
            changed_.wait_until(hold, arrives);
            continue;
        }
        out = toHost_.front().byte;
        toHost_.pop_front();
        return true;
    }
}

void PrinterWire::interrupt() {
    const std::lock_guard<std::mutex> hold(mutex_);
    interrupted_ = true;
    changed_.notify_all();
}

void PrinterWire::resume() {
    const std::lock_guard<std::mutex> hold(mutex_);
    interrupted_ = false;
}

void PrinterWire::purge() {
    const std::lock_guard<std::mutex> hold(mutex_);
    toHost_.clear();
    gatherer_.clear();
}

void PrinterWire::discardArrived() {
    const std::lock_guard<std::mutex> hold(mutex_);
    const Clock::time_point now = Clock::now();
    while (!toHost_.empty() && toHost_.front().arrives <= now) {
        toHost_.pop_front();
    }
}

// Under the lock.
void PrinterWire::takeByte(char c) {
    if (gatherer_.take(c) != CommandGatherer::Step::Command) {
        return;
    }
    const int line = model_.execute(gatherer_.command()).queriedLine;
    if (line == 0) {
        return;
    }
    const std::string reply = buildReply(line, model_.lines()[line - 1], Faults{});
    if (toHost_.size() + reply.size() > kMaxPendingBytes) {
        return;
    }
    // Each byte follows the one before it on the wire, or starts now when the wire is idle.
    Clock::time_point at = toHost_.empty() ? Clock::now() : toHost_.back().arrives;
    for (char byte : reply) {
        at += kByteTime;
        toHost_.push_back({static_cast<unsigned char>(byte), at});
    }
}

}  // namespace kv31
