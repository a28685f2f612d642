#include "emulator/background_log.h"

#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kv31 {

namespace {

constexpr auto kFlushOnExit = std::chrono::milliseconds(200);

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

// Shared with the writer thread, which may outlive the log when it is stuck in a write.
struct BackgroundLog::Shared {
    explicit Shared(int target) : fd(target) {}

    void run();

    const int fd;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> lines;
    std::size_t pendingBytes = 0;
    std::size_t dropped = 0;
    bool writing = false;
    bool closing = false;
    bool broken = false;  // the reader went away: nothing more is written
};

void BackgroundLog::Shared::run() {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return closing || !lines.empty() || dropped > 0; });
        if (lines.empty() && dropped == 0) {
            return;  // closing, and all is written
        }
        std::string chunk;
        if (dropped > 0) {
            chunk = "(" + std::to_string(dropped) + " log lines dropped: nobody read them)\n";
            dropped = 0;
        }
        while (!lines.empty()) {
            chunk += lines.front();
            pendingBytes -= lines.front().size();
            lines.pop_front();
        }
        writing = true;
        lock.unlock();
        const bool written = broken || writeAll(fd, chunk);
        lock.lock();
        writing = false;
        broken = broken || !written;
        changed.notify_all();
    }
}

BackgroundLog::BackgroundLog(int fd) : shared_(std::make_shared<Shared>(fd)) {
    std::thread([shared = shared_] { shared->run(); }).detach();
}

BackgroundLog::~BackgroundLog() {
    flush(kFlushOnExit);
    const std::lock_guard lock(shared_->mutex);
    shared_->closing = true;
    shared_->changed.notify_all();
}

void BackgroundLog::post(const std::string& line) {
    const std::lock_guard lock(shared_->mutex);
    if (shared_->pendingBytes + line.size() + 1 > kMaxPendingBytes) {
        ++shared_->dropped;
        return;
    }
    shared_->lines.push_back(line + '\n');
    shared_->pendingBytes += line.size() + 1;
    shared_->changed.notify_all();
}

bool BackgroundLog::flush(std::chrono::milliseconds limit) {
    std::unique_lock lock(shared_->mutex);
    return shared_->changed.wait_for(lock, limit, [this] {
        return shared_->lines.empty() && shared_->dropped == 0 && !shared_->writing;
    });
}

}  // namespace kv31
