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

// Printable bytes with no line feed or carriage return.
std::string floodBytes(std::size_t count) {
    std::string bytes(count, 'x');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>('A' + i % 26);
    }
    return bytes;
}

}  // namespace

EmulatorService::EmulatorService(fs::path com1Link, MappingCheck checkMapping)
    : com1Link_(std::move(com1Link)), checkMapping_(std::move(checkMapping)) {}

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
    if (!emulator_->start()) {
        error = "the emulator found no pseudo-terminal";
        return false;
    }
    if (!pointLink(com1Link_, emulator_->devicePath())) {
        error = "cannot link " + com1Link_.string();
        return false;
    }
    faults_ = kv31::Faults{};
    vanished_ = false;
    return true;
}

bool EmulatorService::start(std::string& error) { return restart(error); }

std::string EmulatorService::devicePath() const {
    return emulator_ ? emulator_->devicePath() : std::string();
}

void EmulatorService::stop() {
    if (emulator_) {
        emulator_->stop();
        emulator_.reset();
    }
    std::error_code ec;
    fs::remove(com1Link_, ec);
}

bool EmulatorService::listen(std::string& error) {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listenFd_, 1) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = "cannot listen on 127.0.0.1";
        return false;
    }
    port_ = ntohs(address.sin_port);
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

std::string EmulatorService::setFault(const std::string& name, const std::string& value) {
    long long number = 0;
    const bool numeric = toNumber(value, number);
    const std::optional<std::string> text = fromHex(value);
    if (name == "silent" && numeric) {
        faults_.silent = number != 0;
    } else if (name == "silentLine" && numeric) {
        faults_.silentLine = static_cast<int>(number);
    } else if (name == "unknownFontName" && numeric) {
        faults_.unknownFontName = number != 0;
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
    } else if (name == "vanishAfterReplyBytes" && numeric) {
        faults_.vanishAfterReplyBytes = static_cast<int>(number);
    } else {
        return "error unknown fault " + name + "=" + value;
    }
    emulator_->setFaults(faults_);
    return "ok";
}

// One request; see emulator_client.h for the words.
std::string EmulatorService::handle(const std::vector<std::string>& words) {
    if (words.empty()) {
        return "error empty request";
    }
    const std::string& verb = words[0];
    const std::size_t argc = words.size() - 1;
    long long a = 0;
    long long b = 0;
    if (verb == "hello" && argc == 0) {
        const std::string wrong = checkMapping_(devicePath());
        return wrong.empty() ? "ok " + devicePath() : "error " + wrong;
    }
    if (verb == "reset" && argc == 0) {
        std::string error;
        if (vanished_ && !restart(error)) {
            return "error " + error;
        }
        faults_ = kv31::Faults{};
        emulator_->setFaults(faults_);
        emulator_->setPacing(true);
        emulator_->restoreDefaults();
        emulator_->clearReceived();
        return "ok";
    }
    if (vanished_) {
        return "error the device has vanished; reset first";
    }
    if (verb == "pacing" && argc == 1 && toNumber(words[1], a)) {
        emulator_->setPacing(a != 0);
        return "ok";
    }
    if (verb == "fault" && argc == 2) {
        return setFault(words[1], words[2]);
    }
    if (verb == "line" && argc >= 2 && toNumber(words[1], a) && toNumber(words[2], b)) {
        const std::optional<std::string> text = fromHex(argc == 3 ? words[3] : "");
        if (!text || a < 1 || a > 6 || b < 1 || b > 7) {
            return "error bad line request";
        }
        emulator_->setLine(static_cast<int>(a), static_cast<int>(b), *text);
        return "ok";
    }
    if (verb == "lines" && argc == 0) {
        std::string reply = "ok";
        for (const kv31::StoredLine& line : emulator_->lines()) {
            reply += " " + std::to_string(line.printerFont) + ":" + toHex(line.text);
        }
        return reply;
    }
    if (verb == "send" && argc == 1) {
        const std::optional<std::string> bytes = fromHex(words[1]);
        if (!bytes) {
            return "error bad hex";
        }
        emulator_->send(*bytes);
        return "ok";
    }
    if (verb == "flood" && argc == 1 && toNumber(words[1], a) && a > 0) {
        emulator_->send(floodBytes(static_cast<std::size_t>(a)));
        return "ok";
    }
    if (verb == "received" && argc == 0) {
        return "ok " + toHex(emulator_->received());
    }
    if (verb == "clear" && argc == 0) {
        emulator_->clearReceived();
        return "ok";
    }
    if (verb == "await" && argc == 2 && toNumber(words[1], a) && toNumber(words[2], b) &&
        a >= 0 && b >= 0) {
        const bool arrived = emulator_->waitForReceived(static_cast<std::size_t>(a),
                                                        std::chrono::milliseconds(b));
        return arrived ? "ok" : "error time-out";
    }
    if (verb == "mode" && argc == 0) {
        const char mode = emulator_->mode();
        return std::string("ok ") + (mode == 0 ? '0' : mode);
    }
    if (verb == "vanish" && argc == 0) {
        emulator_->vanish();
        std::error_code ec;
        fs::remove(com1Link_, ec);
        vanished_ = true;
        return "ok";
    }
    return "error unknown request " + verb;
}

}  // namespace quillet::wine
