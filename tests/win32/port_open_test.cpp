// openPort and closePort through the Win32 implementation, on Wine's COM1 (the emulator).

#include <windows.h>

#include <gtest/gtest.h>

#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "tests/win32/win32_test_support.h"

namespace quillet::wine {
namespace {

// What this process holds: on Windows its handle count; Wine always reports 0 handles,
// so there the runner counts the descriptors open on the pseudo-terminal.
int heldCount() {
    if (runningUnderWine()) {
        return emulator().holders();
    }
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<int>(count);
}

// Wine lets a second holder in, so there the runner checks that nobody has the device.
void expectDeviceFree() {
    if (runningUnderWine()) {
        EXPECT_EQ(emulator().holders(), 0);
        return;
    }
    HANDLE other = openDevice("COM1");
    EXPECT_NE(other, INVALID_HANDLE_VALUE) << GetLastError();
    if (other != INVALID_HANDLE_VALUE) {
        CloseHandle(other);
    }
}

DCB stateOfOpenPort() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    EXPECT_TRUE(GetCommState(static_cast<HANDLE>(openPortHandle()), &dcb)) << GetLastError();
    return dcb;
}

TEST(MissingPort, CannotBeOpened) {
    char target[512];
    if (QueryDosDeviceA("COM255", target, sizeof target) != 0) {
        GTEST_SKIP() << "this machine has a COM255";
    }
    EXPECT_EQ(openPort("COM255", 9600), kPortCannotOpen);
    EXPECT_FALSE(writeBytes("x", 1));
    closePort();
}

class PortOpen : public EmulatorTest {};

TEST_F(PortOpen, AppliesEveryLineSettingOverWhatTheDriverHad) {
    spoilDriverSettings("COM1");
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    // Wine keeps only what termios can hold (speed, size, parity, stop bits, CTS and
    // XON/XOFF flow); the other flags always read back off there, so only a Windows run
    // shows openPort clearing them.
    const DCB dcb = stateOfOpenPort();
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_TRUE(dcb.fBinary);
    EXPECT_FALSE(dcb.fParity);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_FALSE(dcb.fOutxDsrFlow);
    EXPECT_FALSE(dcb.fDsrSensitivity);
    EXPECT_FALSE(dcb.fTXContinueOnXoff);
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
    EXPECT_FALSE(dcb.fErrorChar);
    EXPECT_FALSE(dcb.fNull);
    EXPECT_FALSE(dcb.fAbortOnError);

    COMMTIMEOUTS timeouts{1, 1, 1, 1, 1};
    ASSERT_TRUE(GetCommTimeouts(static_cast<HANDLE>(openPortHandle()), &timeouts));
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 0u);

    COMMPROP properties{};
    ASSERT_TRUE(GetCommProperties(static_cast<HANDLE>(openPortHandle()), &properties));
    // Zero means the driver does not tell; a driver that tells has at least our 4096.
    if (properties.dwCurrentRxQueue != 0) {
        EXPECT_GE(properties.dwCurrentRxQueue, 4096u);
    }
}

TEST_F(PortOpen, HoldsDtrAndRtsOff) {
    spoilDriverSettings("COM1");
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    SKIP_UNDER_WINE(
        "on a pseudo-terminal Wine cannot read the modem lines and always reports DTR and RTS "
        "control as enabled");
    const DCB dcb = stateOfOpenPort();
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
}

TEST_F(PortOpen, UsesTheCallersBaud) {
    ASSERT_EQ(openPort("COM1", 19200), kPortOpened);
    EXPECT_EQ(stateOfOpenPort().BaudRate, 19200u);
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    EXPECT_EQ(stateOfOpenPort().BaudRate, 9600u);
}

TEST_F(PortOpen, ThePortIsHeldExclusively) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    HANDLE other = openDevice("COM1");
    const DWORD error = GetLastError();
    if (other != INVALID_HANDLE_VALUE) {
        CloseHandle(other);
    }
    SKIP_UNDER_WINE("a COM port opened with no sharing can be opened a second time");
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(PortOpen, APortHeldByAnotherHolderCannotBeOpened) {
    HANDLE other = openDevice("COM1");
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const int code = openPort("COM1", 9600);
    closePort();
    const int anyCode = openAnyPort("COM1", 9600);
    CloseHandle(other);
    closePort();
    SKIP_UNDER_WINE("a COM port opened with no sharing can be opened a second time");
    EXPECT_EQ(code, kPortCannotOpen);
    EXPECT_EQ(anyCode, kPortHeldElsewhere) << "kv31 tells a held port from a missing one";
    EXPECT_EQ(openPort("COM1", 9600), kPortOpened);
}

// kv31 names any port; COM10 and above open only in the device namespace. Quillet's
// openPort still reaches only COM1 and COM2. The runner maps COM12 to the emulator too.
TEST_F(PortOpen, AnyNameReachesCom12WhereOpenPortDoesNot) {
    char target[512];
    if (QueryDosDeviceA("COM12", target, sizeof target) == 0) {
        GTEST_SKIP() << "this machine has no COM12";
    }
    EXPECT_EQ(openPort("COM12", 9600), kPortCannotOpen);
    ASSERT_EQ(openAnyPort("COM12", 9600), kPortOpened);
    EXPECT_EQ(stateOfOpenPort().BaudRate, 9600u);
    EXPECT_EQ(openAnyPort("\\\\.\\COM12", 19200), kPortOpened);
    EXPECT_EQ(stateOfOpenPort().BaudRate, 19200u);
    closePort();
    EXPECT_EQ(openAnyPort("C:\\windows\\win.ini", 9600), kPortCannotOpen);
    EXPECT_EQ(openAnyPort("COM255", 9600), kPortCannotOpen);
}

TEST_F(PortOpen, AFailedOpenLeavesTheDeviceFree) {
    EXPECT_EQ(openPort("COM1", 0), kPortSettingsRefused);
    EXPECT_FALSE(writeBytes("x", 1));
    expectDeviceFree();
    EXPECT_EQ(openPort("COM1", 9600), kPortOpened);
}

TEST_F(PortOpen, OpeningAgainReplacesTheOpenPort) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    const int held = heldCount();
    ASSERT_GT(held, 0);
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    EXPECT_EQ(heldCount(), held);
    ASSERT_TRUE(writeBytes("M5\n", 3));
    ASSERT_TRUE(emulator().await(3, 5000));
    EXPECT_EQ(emulator().received(), "M5\n");
}

TEST_F(PortOpen, ClosingReleasesTheDeviceAfterTheReader) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    closePort();
    expectDeviceFree();
}

// The runner maps COM2 to a path that does not exist.
TEST_F(PortOpen, APortWhoseDeviceIsAbsentIsRefusedAndHoldsNothing) {
    if (!runningUnderWine()) {
        GTEST_SKIP() << "only under Wine does the runner decide what COM2 is";
    }
    // Wine still opens the port's driver object; reading its settings is what fails.
    EXPECT_EQ(openPort("COM2", 9600), kPortSettingsUnreadable);
    EXPECT_FALSE(writeBytes("x", 1));
    EXPECT_EQ(openPort("COM1", 9600), kPortOpened);
}

TEST_F(PortOpen, ClosingTwiceOrBeforeAnyOpenIsHarmless) {
    closePort();
    closePort();
    EXPECT_FALSE(writeBytes("x", 1));
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    closePort();
    closePort();
    EXPECT_FALSE(writeBytes("x", 1));
}

}  // namespace
}  // namespace quillet::wine
