// The emulator on the wire: pacing, clients coming and going, stopping, real devices.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "emulator_test_support.h"

namespace kv31test {
namespace {

using Clock = std::chrono::steady_clock;

const std::string kLine1 = reply(1, "Arial 20", "\"  Brellic Technology\"");

std::chrono::microseconds processCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// At 9600 8N1 the k-th byte after the first cannot go out before k * 1.0417 ms.
TEST(EmulatorPacing, SendsNoFasterThanTheWire) {
    kv31::Emulator emulator;
    ASSERT_TRUE(emulator.start());
    TerminalClient client(emulator.devicePath());
    ASSERT_TRUE(client.isOpen());

    const auto sent = Clock::now();
    emulator.send(std::string(200, 'x'));
    EXPECT_EQ(client.read(200, 5s), std::string(200, 'x'));
    EXPECT_GE(Clock::now() - sent, 199 * 1041us);

    const auto asked = Clock::now();
    ASSERT_TRUE(client.write("RH1\n"));
    EXPECT_EQ(client.read(kLine1.size(), 3s), kLine1);
    EXPECT_GE(Clock::now() - asked, static_cast<int>(kLine1.size() - 1) * 1041us);
}

TEST(EmulatorPacing, CanBeTurnedOff) {
    kv31::Emulator emulator;
    emulator.setPacing(false);
    ASSERT_TRUE(emulator.start());
    TerminalClient client(emulator.devicePath());
    ASSERT_TRUE(client.isOpen());

    // Paced, these would take over four seconds.
    const auto start = Clock::now();
    emulator.send(std::string(4000, 'y'));
    EXPECT_EQ(client.read(4000, 5s), std::string(4000, 'y'));
    EXPECT_LT(Clock::now() - start, 2s);
}

// Before any client, between clients and after one, the master reads as hung up;
// the emulator must keep serving without spinning.
TEST(EmulatorClients, ServesClientsThatComeAndGo) {
    kv31::Emulator emulator;
    emulator.setPacing(false);
    ASSERT_TRUE(emulator.start());

    const auto cpuBefore = processCpuTime();
    const auto wallBefore = Clock::now();
    std::this_thread::sleep_for(400ms);
    for (int round = 0; round < 3; ++round) {
        TerminalClient client(emulator.devicePath());
        ASSERT_TRUE(client.isOpen());
        ASSERT_TRUE(client.write("RH1\n"));
        EXPECT_EQ(client.read(kLine1.size(), 3s), kLine1) << "round " << round;
    }
    std::this_thread::sleep_for(400ms);
    // A spinning serving thread would burn about as much CPU as the wall time passed.
    EXPECT_LT(processCpuTime() - cpuBefore, (Clock::now() - wallBefore) / 4);
}

TEST(EmulatorStop, ReturnsAtOnceInTheMiddleOfAPacedSend) {
    kv31::Emulator emulator;
    ASSERT_TRUE(emulator.start());
    TerminalClient client(emulator.devicePath());
    emulator.send(std::string(5000, 'z'));  // over five seconds at 9600 baud
    ASSERT_EQ(client.read(1, 3s), "z");
    const auto start = Clock::now();
    emulator.stop();
    EXPECT_LT(Clock::now() - start, 1s);
    emulator.stop();  // twice is harmless
}

TEST(EmulatorStop, ReturnsWhileNobodyReadsAFlood) {
    kv31::Emulator emulator;
    emulator.setPacing(false);
    ASSERT_TRUE(emulator.start());
    emulator.send(std::string(1'000'000, 'f'));
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    emulator.stop();
    EXPECT_LT(Clock::now() - start, 1s);
}

TEST(EmulatorStart, CanStartAgainAfterStopAndKeepsItsMemory) {
    kv31::Emulator emulator;
    emulator.setPacing(false);
    ASSERT_TRUE(emulator.start());
    EXPECT_FALSE(emulator.start());  // already serving
    emulator.setLine(1, 5, "kept");
    emulator.stop();
    ASSERT_TRUE(emulator.start());
    TerminalClient client(emulator.devicePath());
    ASSERT_TRUE(client.write("RH1\n"));
    const std::string want = reply(1, "Courier 20", "\"kept\"");
    EXPECT_EQ(client.read(want.size(), 3s), want);
}

TEST(EmulatorDevice, RefusesWhatIsNoTerminal) {
    kv31::Emulator emulator;
    EXPECT_FALSE(emulator.startOnDevice("/nonexistent/ttyS9"));
    EXPECT_FALSE(emulator.startOnDevice("/dev/null"));
}

// The test holds a pseudo-terminal's master and hands its slave to the emulator as a
// serial device, as a null-modem cable would connect them.
TEST(EmulatorDevice, ServesASerialDevice) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string slave = ptsname(master);
    termios tio{};
    ASSERT_EQ(tcgetattr(master, &tio), 0);
    cfmakeraw(&tio);
    ASSERT_EQ(tcsetattr(master, TCSANOW, &tio), 0);

    kv31::Emulator emulator;
    emulator.setPacing(false);
    ASSERT_TRUE(emulator.startOnDevice(slave));
    EXPECT_EQ(emulator.devicePath(), slave);
    ASSERT_EQ(write(master, "RH1\n", 4), 4);

    std::string got;
    const auto deadline = Clock::now() + 3s;
    while (got.size() < kLine1.size() && Clock::now() < deadline) {
        pollfd pfd{master, POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0) {
            continue;
        }
        char buffer[256];
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        got.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(got, kLine1);
    emulator.stop();
    close(master);
}

}  // namespace
}  // namespace kv31test
