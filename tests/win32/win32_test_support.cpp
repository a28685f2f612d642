#include "tests/win32/win32_test_support.h"

#include <vector>

#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/serial_port.h"

namespace quillet::wine {

namespace {
std::vector<std::string>& keptArguments() {
    static std::vector<std::string> arguments;
    return arguments;
}
}  // namespace

void keepTestArguments(int argc, char** argv) {
    keptArguments().assign(argv + 1, argv + argc);
}

std::string testOption(const std::string& prefix) {
    for (const std::string& argument : keptArguments()) {
        if (argument.rfind(prefix, 0) == 0) {
            return argument.substr(prefix.size());
        }
    }
    return {};
}

bool runningUnderWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

HANDLE openDevice(const char* name) {
    const std::string path = std::string("\\\\.\\") + name;
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
}

void spoilDriverSettings(const char* name) {
    HANDLE port = openDevice(name);
    ASSERT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(port, &dcb));
    dcb.BaudRate = 2400;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;
    dcb.fParity = TRUE;
    dcb.fOutxCtsFlow = TRUE;
    dcb.fOutxDsrFlow = TRUE;
    dcb.fDsrSensitivity = TRUE;
    dcb.fOutX = TRUE;
    dcb.fInX = TRUE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fErrorChar = TRUE;
    dcb.fNull = TRUE;
    dcb.fAbortOnError = TRUE;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    EXPECT_TRUE(SetCommState(port, &dcb)) << GetLastError();
    COMMTIMEOUTS timeouts{50, 10, 100, 10, 100};
    EXPECT_TRUE(SetCommTimeouts(port, &timeouts));
    CloseHandle(port);
}

std::string takeLineWithin(std::chrono::milliseconds limit, std::size_t capacity) {
    const auto deadline = Clock::now() + limit;
    std::string line(capacity, '\0');
    std::size_t length = 0;
    while (Clock::now() < deadline) {
        if (takeLine(line.data(), line.size(), length)) {
            return line.substr(0, length);
        }
        std::this_thread::sleep_for(2ms);
    }
    return "<no line>";
}

void emptyReceiveRing() {
    discardReceived();
}

void EmulatorTest::SetUp() {
    if (!emulator().connected()) {
        GTEST_SKIP() << "needs the emulator behind COM1: run through quillet_wine_runner";
    }
    closePort();
    emptyReceiveRing();
    std::string why;
    ASSERT_TRUE(emulator().request("reset", &why)) << why;
    // A reset may have brought the device back on a new pseudo-terminal.
    ASSERT_TRUE(emulator().request("hello", &why)) << why;
}

void EmulatorTest::TearDown() {
    closePort();
    emptyReceiveRing();
}

}  // namespace quillet::wine
