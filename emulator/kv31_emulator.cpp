#include "emulator/kv31_emulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string_view>
#include <thread>

#include "emulator/command_gatherer.h"
#include "emulator/device_port.h"
#include "emulator/printer_model.h"
#include "emulator/reply_builder.h"

namespace kv31 {

namespace {

using Clock = std::chrono::steady_clock;

// 9600 baud, 8N1: ten bit times a byte.
constexpr long long kBytesPerSecond = 960;
// How long to leave a device alone that reads as gone or broken.
constexpr auto kBackoff = std::chrono::milliseconds(50);
// A pseudo-terminal does not always say when it has room again (its reader took a few
// bytes, or flushed its input), so a full device is tried again this often.
constexpr auto kRoomRetry = std::chrono::milliseconds(20);
// Replies and chatter beyond this many unsent bytes are dropped, as a printer whose
// transmit buffer is full would, so a client that never reads cannot grow the emulator.
constexpr std::size_t kMaxPendingBytes = std::size_t{64} * 1024;
// Bytes already sent when the device vanishes are on the wire: the client gets a
// moment to take them before the close throws away what it has not read.
constexpr auto kVanishSettle = std::chrono::milliseconds(10);
constexpr auto kVanishPatience = std::chrono::milliseconds(500);
constexpr auto kVanishPoll = std::chrono::milliseconds(5);

Clock::duration wireTime(long long bytes) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(bytes * 1'000'000'000LL / kBytesPerSecond));
}

// How many bytes of a burst begun at start the wire has room for by now.
long long bytesDue(Clock::time_point start, Clock::time_point now) {
    if (now < start) {
        return 0;
    }
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now - start).count();
    return ns * kBytesPerSecond / 1'000'000'000LL + 1;
}

struct Outgoing {
    std::string bytes;
    std::size_t sent = 0;
    Clock::time_point notBefore;
    bool reply = false;
};

}  // namespace

struct Emulator::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    PrinterModel model;
    Faults faults;
    std::string received;  // the tail, trimmed to kReceivedTail now and then
    std::size_t receivedCount = 0;
    CommandGatherer gatherer;
    std::deque<Outgoing> outgoing;
    std::size_t pendingBytes = 0;  // not yet sent, over all of outgoing
    Clock::time_point chatterDue;
    std::function<void(const std::string&)> log;
    long long replyBytesSent = 0;
    bool vanishing = false;
    Clock::time_point vanishAfter;  // not before: the last bytes settle
    Clock::time_point vanishBy;     // at the latest
    DevicePort port;                // while serving, changed only by the serving thread
    std::string path;

    int wakeRead = -1;
    int wakeWrite = -1;
    std::thread server;
    std::atomic<bool> stopping{false};
    std::atomic<bool> pacing{true};

    // Serving thread only.
    bool wireIdle = true;
    Clock::time_point burstStart;
    long long burstBytes = 0;
    Clock::time_point wireFreeAt;  // the last byte sent has left by then
    Clock::time_point backoffUntil;

    bool begin(const DevicePort& opened);
    void end();
    void wakeUp() const;
    void serve();
    void sendDue(Clock::time_point now, Clock::time_point& wakeAt, bool& wantRoom);
    bool sendSome(Outgoing& out, Clock::time_point now, Clock::time_point& wakeAt, bool& wantRoom);
    void waitForEvents(Clock::time_point wakeAt, bool wantRoom, bool listen);
    void readInput();
    void takeInput(const char* bytes, std::size_t count);
    void takeByte(char c, std::vector<std::string>& notes);
    void misstoreIfAsked(std::string_view command);
    void queue(std::string bytes, Clock::time_point notBefore, bool reply);
    void queueReply(int line);
    Clock::time_point queueChatter(Clock::time_point now);
    void keepReceived(const char* bytes, std::size_t count);
    void startVanishing(Clock::time_point now);
    bool vanishDue(Clock::time_point now, Clock::time_point& wakeAt);
    bool clientHasRead() const;
    void closeDevice();
};

bool Emulator::State::begin(const DevicePort& opened) {
    int fds[2];
    if (pipe(fds) != 0) {
        DevicePort unused = opened;
        closeDevicePort(unused);
        return false;
    }
    for (int fd : fds) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    wakeRead = fds[0];
    wakeWrite = fds[1];
    {
        std::lock_guard lock(mutex);
        port = opened;
        path = opened.path;
        outgoing.clear();
        pendingBytes = 0;
        vanishing = false;
    }
    wireIdle = true;
    wireFreeAt = Clock::time_point();
    backoffUntil = Clock::time_point();
    stopping.store(false);
    server = std::thread([this] { serve(); });
    return true;
}

void Emulator::State::end() {
    if (server.joinable()) {
        stopping.store(true);
        wakeUp();
        server.join();
    }
    {
        std::lock_guard lock(mutex);
        closeDevice();
        gatherer.clear();
    }
    for (int* fd : {&wakeRead, &wakeWrite}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

void Emulator::State::wakeUp() const {
    const char token = 1;
    // A full pipe already holds a wake-up; nothing is lost when this write fails.
    [[maybe_unused]] ssize_t unused = write(wakeWrite, &token, 1);
}

// Under the lock.
void Emulator::State::closeDevice() {
    closeDevicePort(port);
    outgoing.clear();
    pendingBytes = 0;
    vanishing = false;
    changed.notify_all();
}

// Under the lock: nothing more is sent; the device closes once the client has read.
void Emulator::State::startVanishing(Clock::time_point now) {
    if (!vanishing && port.fd >= 0) {
        vanishing = true;
        vanishAfter = now + kVanishSettle;
        vanishBy = now + kVanishPatience;
    }
}

// Under the lock: true while vanishing, closing the device when it is time.
bool Emulator::State::vanishDue(Clock::time_point now, Clock::time_point& wakeAt) {
    if (!vanishing) {
        return false;
    }
    if (now >= vanishBy || (now >= vanishAfter && clientHasRead())) {
        closeDevice();
    } else {
        wakeAt = now + kVanishPoll;
    }
    return true;
}

bool Emulator::State::clientHasRead() const {
    int waiting = 0;
    return port.heldSlaveFd < 0 || ioctl(port.heldSlaveFd, FIONREAD, &waiting) != 0 || waiting == 0;
}

void Emulator::State::serve() {
    while (!stopping.load()) {
        auto wakeAt = Clock::time_point::max();
        bool wantRoom = false;
        bool listen = true;
        {
            std::lock_guard lock(mutex);
            const auto now = Clock::now();
            const auto chatterAt = queueChatter(now);
            sendDue(now, wakeAt, wantRoom);
            wakeAt = std::min(wakeAt, chatterAt);
            listen = !faults.deaf;
        }
        waitForEvents(wakeAt, wantRoom, listen);
    }
}

// Under the lock: writes what the wire has room for and says when to come back.
void Emulator::State::sendDue(Clock::time_point now, Clock::time_point& wakeAt, bool& wantRoom) {
    if (vanishDue(now, wakeAt)) {
        return;
    }
    while (port.fd >= 0 && !outgoing.empty()) {
        Outgoing& out = outgoing.front();
        if (out.notBefore > now) {
            wireIdle = true;
            wakeAt = out.notBefore;
            return;
        }
        if (wireIdle) {
            burstStart = std::max(now, wireFreeAt);
            burstBytes = 0;
            wireIdle = false;
        }
        if (!sendSome(out, now, wakeAt, wantRoom)) {
            if (vanishing) {
                wakeAt = now + kVanishSettle;
            }
            return;
        }
        if (out.sent == out.bytes.size()) {
            outgoing.pop_front();
        }
    }
    wireIdle = true;
}

// Under the lock: true when it is worth trying the next bytes at once.
bool Emulator::State::sendSome(Outgoing& out, Clock::time_point now, Clock::time_point& wakeAt,
                               bool& wantRoom) {
    auto count = static_cast<long long>(out.bytes.size() - out.sent);
    if (pacing.load()) {
        // Deadlines count from the start of the burst, so the rate does not drift.
        const long long due = bytesDue(burstStart, now) - burstBytes;
        if (due <= 0) {
            wakeAt = burstStart + wireTime(burstBytes);
            return false;
        }
        count = std::min(count, due);
    }
    const int vanishAt = faults.vanishAfterReplyBytes;
    if (out.reply && vanishAt >= 0) {
        count = std::min(count, vanishAt - replyBytesSent);
        if (count <= 0) {
            startVanishing(now);
            return false;
        }
    }
    const ssize_t written = write(port.fd, out.bytes.data() + out.sent, static_cast<size_t>(count));
    if (written < 0) {
        wireIdle = true;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            wantRoom = true;
        } else if (errno != EINTR) {
            backoffUntil = now + kBackoff;
            wakeAt = backoffUntil;
        }
        return false;
    }
    out.sent += static_cast<std::size_t>(written);
    pendingBytes -= static_cast<std::size_t>(written);
    burstBytes += written;
    wireFreeAt = burstStart + wireTime(burstBytes);
    if (out.reply) {
        replyBytesSent += written;
        if (vanishAt >= 0 && replyBytesSent >= vanishAt) {
            startVanishing(now);
            return false;
        }
    }
    if (written < count) {
        wireIdle = true;
        wantRoom = true;
        return false;
    }
    return true;
}

// Sleeps in poll until input, room to write, a wake-up or the next deadline.
void Emulator::State::waitForEvents(Clock::time_point wakeAt, bool wantRoom, bool listen) {
    const auto now = Clock::now();
    pollfd fds[2] = {{wakeRead, POLLIN, 0}, {port.fd, POLLIN, 0}};
    nfds_t count = 1;
    const bool watchDevice = port.fd >= 0 && now >= backoffUntil;
    if (watchDevice) {
        const short input = listen ? POLLIN : 0;
        fds[1].events = static_cast<short>(input | (wantRoom ? POLLOUT : 0));
        count = 2;
    } else if (port.fd >= 0) {
        wakeAt = std::min(wakeAt, backoffUntil);
    }
    if (wantRoom) {
        wakeAt = std::min(wakeAt, now + kRoomRetry);
    }
    int timeoutMs = -1;
    if (wakeAt != Clock::time_point::max()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(wakeAt - now).count();
        timeoutMs = static_cast<int>(std::clamp<long long>(left, 0, 60'000));
    }
    if (poll(fds, count, timeoutMs) <= 0) {
        return;
    }
    if (fds[0].revents != 0) {
        char drain[64];
        while (read(wakeRead, drain, sizeof drain) > 0) {
        }
    }
    if (!watchDevice) {
        return;
    }
    if ((fds[1].revents & POLLIN) != 0) {
        readInput();
    } else if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        backoffUntil = Clock::now() + kBackoff;
    }
}

void Emulator::State::readInput() {
    char bytes[512];
    const ssize_t count = read(port.fd, bytes, sizeof bytes);
    if (count > 0) {
        takeInput(bytes, static_cast<std::size_t>(count));
    } else if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        // No client, or a device that went away: try again a little later.
        backoffUntil = Clock::now() + kBackoff;
    }
}

// The bytes count as received only once their commands are carried out and logged,
// so whoever waits for them sees all of that.
void Emulator::State::takeInput(const char* bytes, std::size_t count) {
    std::vector<std::string> notes;
    std::function<void(const std::string&)> logTo;
    {
        std::lock_guard lock(mutex);
        for (std::size_t i = 0; i < count; ++i) {
            takeByte(bytes[i], notes);
        }
        logTo = log;
    }
    // Outside the lock, so the log may call back into the emulator.
    if (logTo) {
        for (const std::string& note : notes) {
            logTo(note);
        }
    }
    std::lock_guard lock(mutex);
    keepReceived(bytes, count);
    changed.notify_all();
}

// Under the lock. Trimmed only when twice the tail, so a flood costs no copy per read.
void Emulator::State::keepReceived(const char* bytes, std::size_t count) {
    received.append(bytes, count);
    receivedCount += count;
    if (received.size() > 2 * kReceivedTail) {
        received.erase(0, received.size() - kReceivedTail);
    }
}

// Under the lock.
void Emulator::State::queue(std::string bytes, Clock::time_point notBefore, bool reply) {
    pendingBytes += bytes.size();
    outgoing.push_back({std::move(bytes), 0, notBefore, reply});
}

// Under the lock: the reply to a header query, line by line when they come apart.
void Emulator::State::queueReply(int line) {
    std::string reply = buildReply(line, model.lines()[line - 1], faults);
    if (reply.empty() || pendingBytes + reply.size() > kMaxPendingBytes) {
        return;
    }
    const bool delayed = faults.delayedLine == 0 || faults.delayedLine == line;
    auto at = Clock::now() + std::chrono::milliseconds(delayed ? faults.replyDelayMs : 0);
    if (faults.replyLineGapMs <= 0) {
        queue(std::move(reply), at, true);
        return;
    }
    for (std::size_t start = 0; start < reply.size();) {
        const std::size_t end = std::min(reply.find('\n', start), reply.size() - 1) + 1;
        queue(reply.substr(start, end - start), at, true);
        at += std::chrono::milliseconds(faults.replyLineGapMs);
        start = end;
    }
}

// Under the lock: a chatting printer's status line when it is due. Gives the time of
// the next one.
Clock::time_point Emulator::State::queueChatter(Clock::time_point now) {
    const int interval = faults.chatterIntervalMs;
    if (interval <= 0 || port.fd < 0 || vanishing) {
        return Clock::time_point::max();
    }
    if (now >= chatterDue) {
        if (pendingBytes < kMaxPendingBytes) {
            queue(std::string(kChatterLine) + (faults.lfWithoutCr ? "\n" : "\r\n"), now, false);
        }
        chatterDue = std::max(chatterDue + std::chrono::milliseconds(interval), now);
    }
    return chatterDue;
}

// Under the lock: a header write to the line that the fault names is stored changed.
void Emulator::State::misstoreIfAsked(std::string_view command) {
    const int line = faults.misstoredLine;
    if (line < 1 || line > 6 || command.size() < 2 || command[0] != 'H' ||
        command[1] != static_cast<char>('0' + line) || command.substr(2, 1) != ",") {
        return;
    }
    const StoredLine stored = model.lines()[line - 1];
    std::string text = stored.text;
    if (text.empty()) {
        text.push_back('x');
    } else {
        text.back() = text.back() == 'x' ? 'y' : 'x';
    }
    model.setLine(line, stored.printerFont, text);
}

// Under the lock: gathers a command up to its LF and carries it out.
void Emulator::State::takeByte(char c, std::vector<std::string>& notes) {
    switch (gatherer.take(c)) {
        case CommandGatherer::Step::Gathering:
            return;
        case CommandGatherer::Step::TooLong:
            notes.push_back("over-long command dropped");
            return;
        case CommandGatherer::Step::Command: {
            const CommandResult result = model.execute(gatherer.command());
            notes.push_back(result.description);
            misstoreIfAsked(gatherer.command());
            if (result.queriedLine != 0) {
                queueReply(result.queriedLine);
            }
            return;
        }
    }
}

Emulator::Emulator() : state_(std::make_unique<State>()) {}

Emulator::~Emulator() {
    stop();
}

bool Emulator::start() {
    DevicePort opened;
    if (state_->server.joinable() || !openPseudoTerminal(opened)) {
        return false;
    }
    return state_->begin(opened);
}

bool Emulator::startOnDevice(const std::string& path) {
    DevicePort opened;
    if (state_->server.joinable() || !openSerialDevice(path, opened)) {
        return false;
    }
    return state_->begin(opened);
}

void Emulator::stop() {
    state_->end();
}

std::string Emulator::devicePath() const {
    std::lock_guard lock(state_->mutex);
    return state_->path;
}

void Emulator::setPacing(bool on) {
    state_->pacing.store(on);
    if (state_->server.joinable()) {
        state_->wakeUp();
    }
}

void Emulator::setFaults(const Faults& faults) {
    {
        std::lock_guard lock(state_->mutex);
        state_->faults = faults;
        state_->replyBytesSent = 0;
        state_->chatterDue = Clock::now() + std::chrono::milliseconds(faults.chatterIntervalMs);
    }
    if (state_->server.joinable()) {
        state_->wakeUp();
    }
}

void Emulator::send(const std::string& bytes) {
    if (bytes.empty()) {
        return;
    }
    {
        std::lock_guard lock(state_->mutex);
        if (state_->port.fd < 0) {
            return;
        }
        state_->queue(bytes, Clock::now(), false);
    }
    state_->wakeUp();
}

std::size_t Emulator::unsentBytes() const {
    std::lock_guard lock(state_->mutex);
    return state_->pendingBytes;
}

void Emulator::vanish() {
    std::unique_lock lock(state_->mutex);
    if (!state_->server.joinable()) {
        state_->closeDevice();
        return;
    }
    state_->startVanishing(Clock::now());
    state_->wakeUp();
    state_->changed.wait(lock, [this] { return !state_->vanishing; });
}

std::string Emulator::received() const {
    std::lock_guard lock(state_->mutex);
    const std::string& all = state_->received;
    return all.size() > kReceivedTail ? all.substr(all.size() - kReceivedTail) : all;
}

std::size_t Emulator::receivedCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->receivedCount;
}

void Emulator::clearReceived() {
    std::lock_guard lock(state_->mutex);
    state_->received.clear();
    state_->receivedCount = 0;
}

bool Emulator::waitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->receivedCount >= count; });
}

std::array<StoredLine, 6> Emulator::lines() const {
    std::lock_guard lock(state_->mutex);
    return state_->model.lines();
}

void Emulator::setLine(int line, int printerFont, const std::string& text) {
    std::lock_guard lock(state_->mutex);
    state_->model.setLine(line, printerFont, text);
}

void Emulator::restoreDefaults() {
    std::lock_guard lock(state_->mutex);
    state_->model.restoreDefaults();
}

char Emulator::mode() const {
    std::lock_guard lock(state_->mutex);
    return state_->model.mode();
}

std::vector<std::vector<std::string>> Emulator::printedPages() const {
    std::lock_guard lock(state_->mutex);
    return state_->model.printedPages();
}

void Emulator::setCommandLog(std::function<void(const std::string&)> log) {
    std::lock_guard lock(state_->mutex);
    state_->log = std::move(log);
}

}  // namespace kv31
