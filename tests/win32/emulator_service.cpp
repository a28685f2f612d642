#include "tests/win32/emulator_service.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <charconv>

#include "tests/win32/control_codec.h"

namespace quillet::wine {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxRequestBytes = 64 * 1024;

bool toNumber(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// A link is swapped in whole, so Wine never meets a half-made one.
bool pointLink(const fs::path& link, const std::string& target) {
    const fs::path fresh = link.string() + ".new";
    std::error_code ec;
    fs::remove(fresh, ec);
    fs::create_symlink(target, fresh, ec);
    if (ec) {
        return false;
    }
    fs::rename(fresh, link, ec);
    return !ec;
}

void sendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

// Descriptors that other processes (Wine's) have open on the device.
int holdersOf(const std::string& device) {
    int holders = 0;
    const std::string self = std::to_string(getpid());
    std::error_code ec;
    for (const fs::directory_entry& process : fs::directory_iterator("/proc", ec)) {
        const std::string pid = process.path().filename().string();
        if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code gone;
        for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", gone)) {
            std::error_code unreadable;
            holders += fs::read_symlink(fd.path(), unreadable) == device ? 1 : 0;
        }
    }
    return holders;
}

// Printable bytes with no line feed or carriage return.
std::string floodBytes(std::size_t count) {
    std::string bytes(count, 'x');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>('A' + i % 26);
    }
    return bytes;
}

}  // namespace

EmulatorService::EmulatorService(ServiceSetup setup) : setup_(std::move(setup)) {}

EmulatorService::~EmulatorService() {
    stop();
    for (int fd : {clientFd_, listenFd_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool EmulatorService::restart(std::string& error) {
    if (emulator_) {
        emulator_->stop();
    }
    emulator_ = std::make_unique<kv31::Emulator>();
    faults_ = kv31::Faults{};
    vanished_ = false;
    if (!setup_.device.empty()) {
        if (!emulator_->startOnDevice(setup_.device)) {
            error = "the emulator cannot serve " + setup_.device;
            return false;
        }
        return true;
    }
    if (!emulator_->start()) {
        error = "the emulator found no pseudo-terminal";
        return false;
    }
    if (!pointLink(setup_.com1Link, emulator_->devicePath())) {
        error = "cannot link " + setup_.com1Link.string();
        return false;
    }
    return true;
}

bool EmulatorService::start(std::string& error) {
    return restart(error);
}

std::string EmulatorService::devicePath() const {
    return emulator_ ? emulator_->devicePath() : std::string();
}

void EmulatorService::stop() {
    if (emulator_) {
        emulator_->stop();
        emulator_.reset();
    }
    if (setup_.device.empty()) {
        std::error_code ec;
        fs::remove(setup_.com1Link, ec);
    }
}

bool EmulatorService::listen(const std::string& address, int port, std::string& error) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t length = sizeof where;
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int reuse = 1;
    if (listenFd_ < 0 || inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1 ||
        setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0 ||
        bind(listenFd_, reinterpret_cast<sockaddr*>(&where), length) != 0 ||
        ::listen(listenFd_, 1) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&where), &length) != 0) {
        error = "cannot listen on " + address + ":" + std::to_string(port);
        return false;
    }
    port_ = ntohs(where.sin_port);
    return true;
}

void EmulatorService::serveFor(std::chrono::milliseconds time) {
    pollfd watched{};
    watched.fd = clientFd_ >= 0 ? clientFd_ : listenFd_;
    watched.events = POLLIN;
    if (watched.fd < 0 || poll(&watched, 1, static_cast<int>(time.count())) <= 0) {
        return;
    }
    if (clientFd_ >= 0) {
        readClient();
    } else {
        acceptClient();
    }
}

void EmulatorService::acceptClient() {
    clientFd_ = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    inbox_.clear();
}

void EmulatorService::readClient() {
    char buffer[4096];
    const ssize_t n = recv(clientFd_, buffer, sizeof buffer, 0);
    if (n <= 0 || inbox_.size() > kMaxRequestBytes) {
        close(clientFd_);
        clientFd_ = -1;
        clientLeft_ = true;
        return;
    }
    inbox_.append(buffer, static_cast<std::size_t>(n));
    std::size_t end = 0;
    while ((end = inbox_.find('\n')) != std::string::npos) {
        const std::string line = inbox_.substr(0, end);
        inbox_.erase(0, end + 1);
        sendAll(clientFd_, handle(splitWords(line)) + "\n");
    }
}

// One request; emulator_client.h lists them.
std::string EmulatorService::handle(const Words& words) {
    if (words.empty()) {
        return "error empty request";
    }
    if (std::optional<std::string> reply = handleSession(words)) {
        return *reply;
    }
    if (setup_.extra) {
        if (std::optional<std::string> reply = setup_.extra(words)) {
            return *reply;
        }
    }
    if (vanished_) {
        return "error the device has vanished; reset first";
    }
    if (std::optional<std::string> reply = handleSetup(words)) {
        return *reply;
    }
    if (std::optional<std::string> reply = handleTraffic(words)) {
        return *reply;
    }
    return "error unknown request: " + words[0];
}

std::optional<std::string> EmulatorService::handleSession(const Words& words) {
    const std::string& verb = words[0];
    if (verb == "hello" && words.size() == 1) {
        const std::string wrong =
            setup_.device.empty() ? setup_.checkMapping(devicePath()) : std::string();
        return wrong.empty() ? "ok " + devicePath() : "error " + wrong;
    }
    if (verb == "reset" && words.size() == 1) {
        // A fresh device each time, also after a fault made the emulator vanish.
        std::string error;
        return restart(error) ? "ok" : "error " + error;
    }
    if (verb == "holders" && words.size() == 1) {
        if (!setup_.device.empty()) {
            return "error unsupported: the far machine's handles are out of sight";
        }
        return "ok " + std::to_string(holdersOf(devicePath()));
    }
    if (verb == "vanish" && words.size() == 1) {
        if (!setup_.device.empty()) {
            return "error unsupported: a real device stays where it is";
        }
        emulator_->vanish();
        std::error_code ec;
        fs::remove(setup_.com1Link, ec);
        vanished_ = true;
        return "ok";
    }
    return std::nullopt;
}

std::optional<std::string> EmulatorService::handleSetup(const Words& words) {
    const std::string& verb = words[0];
    long long line = 0;
    long long font = 0;
    if (verb == "pacing" && words.size() == 2 && toNumber(words[1], line)) {
        emulator_->setPacing(line != 0);
        return "ok";
    }
    if (verb == "fault" && words.size() == 3) {
        return setFault(words[1], words[2]);
    }
    if (verb == "line" && words.size() >= 3 && words.size() <= 4 && toNumber(words[1], line) &&
        toNumber(words[2], font)) {
        const std::optional<std::string> text = fromHex(words.size() == 4 ? words[3] : "");
        if (!text || line < 1 || line > 6 || font < 1 || font > 7) {
            return "error bad line request";
        }
        emulator_->setLine(static_cast<int>(line), static_cast<int>(font), *text);
        return "ok";
    }
    return std::nullopt;
}

std::optional<std::string> EmulatorService::handleTraffic(const Words& words) {
    const std::string& verb = words[0];
    long long count = 0;
    long long limit = 0;
    if (verb == "send" && words.size() == 2) {
        const std::optional<std::string> bytes = fromHex(words[1]);
        if (bytes) {
            emulator_->send(*bytes);
        }
        return bytes ? "ok" : "error bad hex";
    }
    if (verb == "flood" && words.size() == 2 && toNumber(words[1], count) && count > 0) {
        emulator_->send(floodBytes(static_cast<std::size_t>(count)));
        return "ok";
    }
    if (verb == "received" && words.size() == 1) {
        return "ok " + toHex(emulator_->received());
    }
    if (verb == "clear" && words.size() == 1) {
        emulator_->clearReceived();
        return "ok";
    }
    if (verb == "await" && words.size() == 3 && toNumber(words[1], count) &&
        toNumber(words[2], limit) && count >= 0 && limit >= 0) {
        const bool arrived = emulator_->waitForReceived(static_cast<std::size_t>(count),
                                                        std::chrono::milliseconds(limit));
        return arrived ? "ok" : "error time-out";
    }
    if (verb == "lines" && words.size() == 1) {
        std::string reply = "ok";
        for (const kv31::StoredLine& stored : emulator_->lines()) {
            reply += " " + std::to_string(stored.printerFont) + ":" + toHex(stored.text);
        }
        return reply;
    }
    if (verb == "mode" && words.size() == 1) {
        const char mode = emulator_->mode();
        return std::string("ok ") + (mode == 0 ? '0' : mode);
    }
    return std::nullopt;
}

std::string EmulatorService::setFault(const std::string& name, const std::string& value) {
    if (name == "vanishAfterReplyBytes" && !setup_.device.empty()) {
        return "error unsupported: a real device stays where it is";
    }
    long long number = 0;
    const bool numeric = toNumber(value, number);
    const std::optional<std::string> text = fromHex(value);
    if (name == "silent" && numeric) {
        faults_.silent = number != 0;
    } else if (name == "silentLine" && numeric) {
        faults_.silentLine = static_cast<int>(number);
    } else if (name == "unknownFontName" && numeric) {
        faults_.unknownFontName = number != 0;
    } else if (name == "unknownFontLine" && numeric) {
        faults_.unknownFontLine = static_cast<int>(number);
    } else if (name == "textBeforeHeader" && text) {
        faults_.textBeforeHeader = *text;
    } else if (name == "lfWithoutCr" && numeric) {
        faults_.lfWithoutCr = number != 0;
    } else if (name == "noiseBetweenReplies" && text) {
        faults_.noiseBetweenReplies = *text;
    } else if (name == "overlongLineBytes" && numeric && number >= 0) {
        faults_.overlongLineBytes = static_cast<std::size_t>(number);
    } else if (name == "replyDelayMs" && numeric) {
        faults_.replyDelayMs = static_cast<int>(number);
    } else if (name == "deaf" && numeric) {
        faults_.deaf = number != 0;
    } else if (name == "vanishAfterReplyBytes" && numeric) {
        faults_.vanishAfterReplyBytes = static_cast<int>(number);
    } else {
        return "error unknown fault " + name + "=" + value;
    }
    emulator_->setFaults(faults_);
    return "ok";
}

}  // namespace quillet::wine
