#include "cli/reporter.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "cli/byte_display.h"
#include "cli/console.h"
#include "link/traffic_trace.h"

namespace kv31cli {

namespace {

struct Reporting {
    std::mutex mutex;  // the reader thread traces too
    ReportSettings settings;
    bool terminal = false;
    std::size_t progressWidth = 0;  // of the progress line on the terminal; 0 none
    std::string received;           // traced bytes up to their line feed
};

Reporting& reporting() {
    static Reporting state;
    return state;
}

// Under the lock.
void clearProgressLine(Reporting& state) {
    if (state.progressWidth > 0) {
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(state.progressWidth), "");
        state.progressWidth = 0;
    }
}

void writeLine(Reporting& state, const std::string& text) {
    clearProgressLine(state);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

// Received bytes are shown a line at a time; sent ones a write at a time.
void traceTraffic(quillet::TrafficDirection direction, const unsigned char* bytes,
                  std::size_t count) {
    Reporting& state = reporting();
    const std::lock_guard<std::mutex> hold(state.mutex);
    const std::string_view data(reinterpret_cast<const char*>(bytes), count);
    if (direction == quillet::TrafficDirection::Sent) {
        writeLine(state, "kv31: sent:     " + readableCommand(data));
        return;
    }
    state.received.append(data);
    if (state.received.back() == '\n' || state.received.size() >= 256) {
        writeLine(state, "kv31: received: " + readableCommand(state.received));
        state.received.clear();
    }
}

}  // namespace

void startReporting(const ReportSettings& settings) {
    Reporting& state = reporting();
    {
        const std::lock_guard<std::mutex> hold(state.mutex);
        state.settings = settings;
        state.terminal = stderrIsTerminal();
    }
    if (settings.trace) {
        quillet::setTrafficObserver(traceTraffic);
    }
}

void stopReporting() {
    quillet::setTrafficObserver(nullptr);
    Reporting& state = reporting();
    const std::lock_guard<std::mutex> hold(state.mutex);
    if (!state.received.empty()) {
        writeLine(state, "kv31: received: " + readableCommand(state.received));
        state.received.clear();
    }
    clearProgressLine(state);
    std::fflush(stderr);
}

void showProgress(const std::string& text) {
    Reporting& state = reporting();
    const std::lock_guard<std::mutex> hold(state.mutex);
    // A trace writes lines of its own, which a redrawn line would break up.
    if (state.terminal && !state.settings.trace) {
        const int pad = static_cast<int>(state.progressWidth) - static_cast<int>(text.size());
        std::fprintf(stderr, "\r%s%*s", text.c_str(), pad > 0 ? pad : 0, "");
        std::fflush(stderr);
        state.progressWidth = text.size();
    } else if (state.settings.verbose) {
        writeLine(state, "kv31: " + text);
    }
}

void endProgress() {
    Reporting& state = reporting();
    const std::lock_guard<std::mutex> hold(state.mutex);
    clearProgressLine(state);
    std::fflush(stderr);
}

void note(const std::string& text) {
    Reporting& state = reporting();
    const std::lock_guard<std::mutex> hold(state.mutex);
    if (state.settings.verbose) {
        writeLine(state, "kv31: " + text);
    }
}

void reportError(const std::string& text) {
    Reporting& state = reporting();
    const std::lock_guard<std::mutex> hold(state.mutex);
    writeLine(state, "kv31: " + text);
}

}  // namespace kv31cli
