#include "tests/win32/emulator_client.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <vector>

#include "tests/win32/control_codec.h"

namespace quillet::wine {

EmulatorClient& EmulatorClient::instance() {
    static EmulatorClient client;
    return client;
}

bool EmulatorClient::connect(const std::string& hostPort, std::string& error) {
    const std::size_t colon = hostPort.rfind(':');
    if (colon == std::string::npos) {
        error = "expected host:port, got " + hostPort;
        return false;
    }
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        error = "no Winsock";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string host = hostPort.substr(0, colon);
    const std::string port = hostPort.substr(colon + 1);
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
        error = "cannot resolve " + hostPort;
        return false;
    }
    SOCKET s = ::socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    const bool ok = s != INVALID_SOCKET &&
                    ::connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0;
    freeaddrinfo(found);
    if (!ok) {
        if (s != INVALID_SOCKET) {
            closesocket(s);
        }
        error = "cannot connect to " + hostPort;
        return false;
    }
    socket_ = s;
    return true;
}

bool EmulatorClient::sendLine(const std::string& line) {
    const std::string bytes = line + "\n";
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = ::send(static_cast<SOCKET>(socket_), bytes.data() + sent,
                             static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool EmulatorClient::receiveLine(std::string& line) {
    std::size_t end = 0;
    while ((end = inbox_.find('\n')) == std::string::npos) {
        char buffer[4096];
        const int n = ::recv(static_cast<SOCKET>(socket_), buffer, sizeof buffer, 0);
        if (n <= 0) {
            return false;
        }
        inbox_.append(buffer, static_cast<std::size_t>(n));
    }
    line = inbox_.substr(0, end);
    inbox_.erase(0, end + 1);
    return true;
}

bool EmulatorClient::request(const std::string& line, std::string* payload) {
    std::string reply;
    if (!connected() || !sendLine(line) || !receiveLine(reply)) {
        if (payload != nullptr) {
            *payload = "the runner's connection is gone";
        }
        return false;
    }
    const bool ok = reply == "ok" || reply.rfind("ok ", 0) == 0;
    const std::size_t space = reply.find(' ');
    if (payload != nullptr) {
        *payload = space == std::string::npos ? std::string() : reply.substr(space + 1);
    }
    return ok;
}

bool EmulatorClient::fault(const std::string& name, long long value) {
    return request("fault " + name + " " + std::to_string(value));
}

bool EmulatorClient::faultText(const std::string& name, std::string_view text) {
    return request("fault " + name + " " + toHex(text));
}

bool EmulatorClient::setLine(int line, int printerFont, std::string_view text) {
    return request("line " + std::to_string(line) + " " + std::to_string(printerFont) + " " +
                   toHex(text));
}

bool EmulatorClient::lines(std::array<PrinterLine, 6>& out) {
    std::string payload;
    if (!request("lines", &payload)) {
        return false;
    }
    const std::vector<std::string> words = splitWords(payload);
    if (words.size() != out.size()) {
        return false;
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::size_t colon = words[i].find(':');
        const std::optional<std::string> text =
            colon == std::string::npos ? std::nullopt : fromHex(words[i].substr(colon + 1));
        if (!text) {
            return false;
        }
        out[i].printerFont = std::stoi(words[i].substr(0, colon));
        out[i].text = *text;
    }
    return true;
}

bool EmulatorClient::send(std::string_view bytes) {
    return request("send " + toHex(bytes));
}

bool EmulatorClient::flood(std::size_t count) {
    return request("flood " + std::to_string(count));
}

std::string EmulatorClient::received() {
    std::string payload;
    if (!request("received", &payload)) {
        return "<no answer>";
    }
    return fromHex(payload).value_or("<bad answer>");
}

bool EmulatorClient::await(std::size_t count, int milliseconds) {
    return request("await " + std::to_string(count) + " " + std::to_string(milliseconds));
}

char EmulatorClient::mode() {
    std::string payload;
    return request("mode", &payload) && payload.size() == 1 ? payload[0] : '?';
}

int EmulatorClient::holders() {
    std::string payload;
    return request("holders", &payload) ? std::stoi(payload) : -1;
}

}  // namespace quillet::wine
