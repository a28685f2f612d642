#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace kv31 {

// Writes lines to a file descriptor on a thread of its own, so that whoever posts them is
// never held up by a slow or stuck reader of the log (a full pipe, a stopped terminal).
// At most kMaxPendingBytes wait; lines beyond that are dropped, and the next line written
// says how many.
class BackgroundLog {
  public:
    static constexpr std::size_t kMaxPendingBytes = std::size_t{64} * 1024;

    explicit BackgroundLog(int fd);
    // Gives the writer a moment for what is pending, then leaves it behind if it is stuck.
    ~BackgroundLog();
    BackgroundLog(const BackgroundLog&) = delete;
    BackgroundLog& operator=(const BackgroundLog&) = delete;

    // Never blocks beyond a short lock.
    void post(const std::string& line);
    // Waits up to limit until everything posted has been written; false if it has not.
    bool flush(std::chrono::milliseconds limit);

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace kv31
