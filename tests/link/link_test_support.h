#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/receive_ring.h"

namespace quillet::test {

// Forgets whatever the process's ring holds; only while no reader runs.
inline void emptyReceiveRing() {
    discardReceived();
}

// The next line taken from the process's ring within the time, or "<no line>".
inline std::string takeLineWithin(std::chrono::milliseconds limit, std::size_t capacity = 80) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string line(capacity, '\0');
    std::size_t length = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (takeLine(line.data(), line.size(), length)) {
            return line.substr(0, length);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return "<no line>";
}

template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace quillet::test
