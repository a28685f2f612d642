#include <fcntl.h>
#include <grp.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/receive_ring.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "link/uucp_lock.h"
#include "link_test_support.h"
#include "private_lock_folder.h"
#include "pseudo_terminal.h"

namespace quillet {
namespace {

using namespace std::chrono_literals;
using test::emptyReceiveRing;
using test::eventually;
using test::OtherHolder;
using test::privateLockFolder;
using test::PseudoTerminal;
using test::takeLineWithin;
using Clock = std::chrono::steady_clock;

std::string numberedLine(int n) {
    std::string text = std::to_string(n);
    return "line" + std::string(4 - std::min<std::size_t>(4, text.size()), '0') + text;
}

class SerialPort : public ::testing::Test {
  protected:
    void SetUp() override {
        closePort();
        emptyReceiveRing();
        ASSERT_TRUE(pty.ok());
        routePort("COM1", pty.devicePath());
    }
    void TearDown() override {
        closePort();
        routePort("COM1", "");
        emptyReceiveRing();
    }

    PseudoTerminal pty;
};

TEST_F(SerialPort, AMissingDeviceCannotBeOpened) {
    routePort("COM1", "/dev/quillet-no-such-device");
    EXPECT_EQ(openPort("COM1", 9600), kPortCannotOpen);
    EXPECT_FALSE(writeBytes("x", 1));
    EXPECT_FALSE(startReader());
}

TEST_F(SerialPort, APortHeldByAnotherProcessCannotBeOpenedEvenByRoot) {
    for (OtherHolder::Hold how : {OtherHolder::Hold::Lock, OtherHolder::Hold::ExclusiveMode}) {
        OtherHolder other(pty.devicePath(), how);
        ASSERT_TRUE(other.holding());
        EXPECT_EQ(openPort("COM1", 9600), kPortCannotOpen);
        EXPECT_FALSE(writeBytes("x", 1));
        other.stop();
        EXPECT_EQ(openPort("COM1", 9600), kPortOpened);
        closePort();
    }
}

TEST_F(SerialPort, ADeviceThatIsNoTerminalHasNoSettingsToRead) {
    routePort("COM1", "/dev/null");
    EXPECT_EQ(openPort("COM1", 9600), kPortSettingsUnreadable);
    EXPECT_FALSE(writeBytes("x", 1));
}

TEST_F(SerialPort, AFailedOpenLeavesTheDeviceFreeForTheNextOpen) {
    EXPECT_EQ(openPort("COM1", 12345), kPortSettingsRefused);
    EXPECT_FALSE(writeBytes("x", 1));
    EXPECT_FALSE(startReader());
    {
        OtherHolder other(pty.devicePath(), OtherHolder::Hold::Lock);
        EXPECT_TRUE(other.holding());
    }
    EXPECT_EQ(openPort("COM1", 9600), kPortOpened);
}

TEST_F(SerialPort, OpeningAgainReplacesTheOpenPort) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(pty.send("still here\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "still here");
}

TEST_F(SerialPort, AppliesRawLineSettingsWithTheCallersBaud) {
    // A terminal left cooked, with flow control, parity and hang-up on close.
    const int observer = ::open(pty.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(observer, 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(observer, &before), 0);
    before.c_iflag |= IXON | IXOFF | IXANY | ICRNL | INPCK;
    before.c_oflag |= OPOST | ONLCR;
    before.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    before.c_cflag = (before.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS | HUPCL;
    before.c_cflag &= ~CLOCAL;
    before.c_cc[VMIN] = 0;
    before.c_cc[VTIME] = 5;
    cfsetispeed(&before, B1200);
    cfsetospeed(&before, B1200);
    ASSERT_EQ(::tcsetattr(observer, TCSANOW, &before), 0);

    for (auto [baud, speed] : {std::pair{9600, B9600}, std::pair{19200, B19200}}) {
        ASSERT_EQ(openPort("COM1", baud), kPortOpened);
        termios after{};
        ASSERT_EQ(::tcgetattr(observer, &after), 0);
        EXPECT_EQ(cfgetispeed(&after), speed);
        EXPECT_EQ(cfgetospeed(&after), speed);
        EXPECT_EQ(after.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(after.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
        EXPECT_EQ(after.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(after.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
        EXPECT_EQ(after.c_oflag & OPOST, 0u);
        EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(after.c_cc[VMIN], 1);
        EXPECT_EQ(after.c_cc[VTIME], 0);
        closePort();
    }
    ::close(observer);
}

TEST_F(SerialPort, OpeningDiscardsWhatWaitedOnTheLine) {
    ASSERT_TRUE(pty.send("stale\n"));
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(pty.send("fresh\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "fresh");
}

TEST_F(SerialPort, BytesTravelBothWays) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    EXPECT_TRUE(startReader());  // already running

    ASSERT_TRUE(writeBytes("RH1\n", 4));
    EXPECT_EQ(pty.receive(4, 5s), "RH1\n");
    EXPECT_TRUE(writeBytes("", 0));

    ASSERT_TRUE(pty.send("Header 1\r\nfont:    Bold\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "Header 1");
    EXPECT_EQ(takeLineWithin(5s), "font:    Bold");
}

TEST_F(SerialPort, AWriteLargerThanTheDriverQueueBlocksUntilAllIsSent) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    std::string big(100'000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>('A' + i % 23);
    }
    std::string arrived;
    std::thread far([&] { arrived = pty.receive(big.size(), 20s); });
    EXPECT_TRUE(writeBytes(big.data(), big.size()));
    far.join();
    EXPECT_TRUE(arrived == big);
}

// A far end that never reads: once the line's queue is full, a write gives up within its
// limit and says so; when the far end reads again, so does the port.
TEST_F(SerialPort, AWriteThatCannotGoOutGivesUpAndThePortWritesOnLater) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    const std::string chunk = std::string(255, 'w') + "\n";
    int written = 0;
    while (written < 4000 && writeBytes(chunk.data(), chunk.size())) {
        ++written;
    }
    EXPECT_LT(written, 4000);  // a megabyte: far more than a pseudo-terminal holds
    pty.receive(std::size_t{1} << 20, 500ms);
    ASSERT_TRUE(writeBytes("M5\n", 3));
    EXPECT_EQ(pty.receive(3, 5s), "M5\n");
}

TEST_F(SerialPort, ReadByteTakesOneByteAndFailsOnceTheDeviceVanishes) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(pty.send("Zq"));
    unsigned char byte = 0;
    ASSERT_TRUE(readByte(byte));
    EXPECT_EQ(byte, 'Z');
    ASSERT_TRUE(readByte(byte));
    EXPECT_EQ(byte, 'q');

    pty.closeMaster();
    EXPECT_FALSE(readByte(byte));
    EXPECT_FALSE(readByte(byte));
    EXPECT_FALSE(writeBytes("x", 1));
}

TEST_F(SerialPort, TheReaderSurvivesAVanishedDeviceAndStopsOnClose) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(pty.send("last\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "last");
    pty.closeMaster();
    std::this_thread::sleep_for(200ms);  // the reader meets failed reads meanwhile
    closePort();
    EXPECT_FALSE(writeBytes("x", 1));
}

TEST_F(SerialPort, ClosingStopsAReaderThatWaitsForBytes) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    std::this_thread::sleep_for(20ms);
    closePort();
    EXPECT_FALSE(writeBytes("x", 1));
    EXPECT_FALSE(startReader());
}

TEST_F(SerialPort, ClosingTwiceOrBeforeAnyOpenIsHarmless) {
    closePort();
    closePort();
    EXPECT_FALSE(writeBytes("x", 1));
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    closePort();
    closePort();
    EXPECT_FALSE(writeBytes("x", 1));
}

TEST_F(SerialPort, OpenCloseOpenReadsAndWritesAgain) {
    for (int round = 1; round <= 3; ++round) {
        ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
        ASSERT_TRUE(startReader());
        const std::string line = "round " + std::to_string(round);
        ASSERT_TRUE(pty.send(line + "\r\n"));
        EXPECT_EQ(takeLineWithin(5s), line);
        ASSERT_TRUE(writeBytes("M5\n", 3));
        EXPECT_EQ(pty.receive(3, 5s), "M5\n");
        closePort();
    }
}

// The exit status of child, or -1 when it did not end by itself in time.
int exitStatus(pid_t child, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(5ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SerialPort, ExitingWithTheReaderRunningEndsCleanly) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool started = openPort("COM1", 9600) == kPortOpened && startReader();
        std::exit(started ? 0 : 3);
    }
    ASSERT_GT(child, 0);
    EXPECT_EQ(exitStatus(child, 10s), 0);
}

TEST_F(SerialPort, AFullRingMakesTheReaderWaitAndNothingIsLost) {
    constexpr int kLines = 500;
    std::string burst;
    for (int n = 0; n < kLines; ++n) {
        burst += numberedLine(n) + "\n";
    }
    ASSERT_GT(burst.size(), ReceiveRing::kSize);
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    bool sent = false;
    std::thread far([&] { sent = pty.send(burst, 20s); });

    EXPECT_TRUE(eventually([] { return receiveRing().unreadCount() == ReceiveRing::kMaxUnread; }));
    int taken = 0;
    for (; taken < kLines; ++taken) {
        const std::string line = takeLineWithin(5s);
        if (line != numberedLine(taken)) {
            ADD_FAILURE() << "line " << taken << " came as " << line;
            break;
        }
    }
    far.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(taken, kLines);
}

TEST_F(SerialPort, AFloodLongerThanTheRingDoesNotStopReception) {
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    bool sent = false;
    std::thread far([&] { sent = pty.send(std::string(10'000, 'x') + "\r\nHeader 1\r\n", 20s); });
    EXPECT_EQ(takeLineWithin(15s, kShortLineCapacity), "Header 1");
    far.join();
    EXPECT_TRUE(sent);
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

std::string lockFileFor(const std::string& device) {
    return privateLockFolder() + "/" + uucpLockName(device);
}

// What a lock file holds: the PID as ten characters, right-aligned, and a newline.
std::string lockText(int pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", pid);
    return text;
}

// The file's bytes, or "<none>".
std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return "<none>";
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// What waits to be read on a terminal, taken without waiting.
std::string readAll(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    char text[64] = {};
    const ssize_t count = fd >= 0 ? ::read(fd, text, sizeof text) : -1;
    if (fd >= 0) {
        ::close(fd);
    }
    return count > 0 ? std::string(text, static_cast<std::size_t>(count)) : "<nothing>";
}

// The PID of a process that has ended.
pid_t goneProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

// kv31 names its port; Quillet's openPort must still reach only COM1 and COM2.
TEST_F(SerialPort, AnyNameOpensADevicePathWithTheSameLocksButOpenPortRefusesIt) {
    const std::string path = pty.devicePath();
    EXPECT_EQ(openPort(path.c_str(), 9600), kPortCannotOpen);
    EXPECT_EQ(openPort("COM7", 9600), kPortCannotOpen);
    for (OtherHolder::Hold how : {OtherHolder::Hold::Lock, OtherHolder::Hold::ExclusiveMode}) {
        OtherHolder other(path, how);
        ASSERT_TRUE(other.holding());
        EXPECT_EQ(openAnyPort(path.c_str(), 9600), kPortHeldElsewhere);
        EXPECT_EQ(openPort("COM1", 9600), kPortCannotOpen);
    }
    ASSERT_EQ(openAnyPort(path.c_str(), 9600), kPortOpened);
    ASSERT_TRUE(startReader());
    ASSERT_TRUE(pty.send("by path\r\n"));
    EXPECT_EQ(takeLineWithin(5s), "by path");
    closePort();

    // A bare name is a device in /dev, as the port listing names it.
    const std::string bare = path.substr(path.rfind('/') + 1);
    EXPECT_EQ(openAnyPort(bare.c_str(), 9600), kPortCannotOpen);
    EXPECT_EQ(openAnyPort("null", 9600), kPortSettingsUnreadable);
    EXPECT_EQ(openAnyPort("", 9600), kPortCannotOpen);
}

TEST(UucpLockName, IsTheDevicePathAfterDevWithSlashesTurnedIntoUnderscores) {
    EXPECT_EQ(uucpLockName("/dev/ttyS0"), "LCK..ttyS0");
    EXPECT_EQ(uucpLockName("/dev/pts/0"), "LCK..pts_0");
    EXPECT_EQ(uucpLockName("/dev/serial/by-id/usb-x"), "LCK..serial_by-id_usb-x");
}

using UucpLockedPort = SerialPort;

// As minicom holds a port: open, with a lock file, and neither flock nor TIOCEXCL.
TEST_F(UucpLockedPort, ALockNamingALiveProgramRefusesThePortAndAStaleOneIsReplaced) {
    const std::string lock = lockFileFor(pty.devicePath());
    OtherHolder minicom(pty.devicePath(), OtherHolder::Hold::OpenOnly);
    ASSERT_TRUE(minicom.holding());
    writeFile(lock, lockText(minicom.pid()));
    EXPECT_EQ(openPort("COM1", 9600), kPortCannotOpen);
    EXPECT_EQ(openAnyPort(pty.devicePath().c_str(), 9600), kPortHeldElsewhere);
    EXPECT_EQ(fileText(lock), lockText(minicom.pid()));

    minicom.stop();  // gone, its lock left behind
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    EXPECT_EQ(fileText(lock), lockText(::getpid()));
    closePort();
    EXPECT_EQ(fileText(lock), "<none>");

    // A lock that names no PID cannot be proved stale.
    writeFile(lock, "\n");
    EXPECT_EQ(openPort("COM1", 9600), kPortCannotOpen);
    EXPECT_EQ(fileText(lock), "\n");
    ::unlink(lock.c_str());
}

TEST_F(UucpLockedPort, ThePortsLockGoesWithEveryFailureAndWithClose) {
    const std::string lock = lockFileFor(pty.devicePath());
    EXPECT_EQ(openPort("COM1", 12345), kPortSettingsRefused);
    EXPECT_EQ(fileText(lock), "<none>");
    {
        OtherHolder other(pty.devicePath(), OtherHolder::Hold::Lock);
        ASSERT_TRUE(other.holding());
        EXPECT_EQ(openPort("COM1", 9600), kPortCannotOpen);
        EXPECT_EQ(fileText(lock), "<none>");
    }
    routePort("COM2", "/dev/null");
    EXPECT_EQ(openPort("COM2", 9600), kPortSettingsUnreadable);
    EXPECT_EQ(fileText(lockFileFor("/dev/null")), "<none>");
    routePort("COM2", "");

    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    EXPECT_EQ(fileText(lock), lockText(::getpid()));
    closePort();
    EXPECT_EQ(fileText(lock), "<none>");
}

// A udev name, say: other programs lock the device it leads to.
TEST_F(UucpLockedPort, ALinkToTheDeviceIsLockedUnderTheDevicesNameToo) {
    const std::string link = privateLockFolder() + "/printer-link";
    ASSERT_EQ(::symlink(pty.devicePath().c_str(), link.c_str()), 0);
    routePort("COM1", link);
    {
        OtherHolder minicom(pty.devicePath(), OtherHolder::Hold::OpenOnly);
        writeFile(lockFileFor(pty.devicePath()), lockText(minicom.pid()));
        EXPECT_EQ(openPort("COM1", 9600), kPortCannotOpen);
        EXPECT_EQ(fileText(lockFileFor(link)), "<none>");
    }
    ASSERT_EQ(openPort("COM1", 9600), kPortOpened);
    EXPECT_EQ(fileText(lockFileFor(link)), lockText(::getpid()));
    EXPECT_EQ(fileText(lockFileFor(pty.devicePath())), lockText(::getpid()));
    closePort();
    EXPECT_EQ(fileText(lockFileFor(pty.devicePath())), "<none>");
    ::unlink(link.c_str());
}

// Anyone may write the lock folder. A FIFO would block the open for good, and a link to
// another terminal would be read from and could become our controlling terminal; what is
// no regular file under a lock name only holds the port. The open runs in a child that
// leads a session of its own, so that a terminal it opens would become its own.
TEST_F(UucpLockedPort, ALockNameThatIsNoRegularFileHoldsThePortAndIsLeftAlone) {
    const std::string lock = lockFileFor(pty.devicePath());
    const std::string fifo = privateLockFolder() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.send("typed\n"));
    const std::function<int()> entries[] = {
        [&] { return ::mkfifo(lock.c_str(), 0644); },
        [&] { return ::symlink(fifo.c_str(), lock.c_str()); },
        [&] { return ::symlink(terminal.devicePath().c_str(), lock.c_str()); },
        [&] { return ::mkdir(lock.c_str(), 0755); },
    };
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        ASSERT_EQ(entries[i](), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::setsid();
            const int code = openPort("COM1", 9600);
            ::_exit(::open("/dev/tty", O_RDWR | O_NOCTTY) >= 0 ? 99 : code);
        }
        EXPECT_EQ(exitStatus(child, 10s), kPortCannotOpen) << "entry " << i;
        struct stat left {};
        EXPECT_EQ(::lstat(lock.c_str(), &left), 0) << "entry " << i;
        ::unlink(lock.c_str());
        ::rmdir(lock.c_str());
    }
    EXPECT_EQ(readAll(terminal.devicePath()), "typed\n");
    ::unlink(fifo.c_str());
}

TEST_F(UucpLockedPort, WithoutAWritableLockFolderThePortOpensWithoutALockFile) {
    setUucpLockFolder("/nonexistent/quillet-locks");
    EXPECT_EQ(openPort("COM1", 9600), kPortOpened);
    EXPECT_TRUE(writeBytes("M5\n", 3));
    EXPECT_EQ(pty.receive(3, 5s), "M5\n");
    closePort();
    setUucpLockFolder(privateLockFolder());
}

// /run/lock is sticky: there a user may neither rename over nor remove another user's lock
// file. Root may, so the open runs in a child that has become nobody, in a sticky folder
// that, like the lock in it, belongs to a third user.
TEST_F(UucpLockedPort, AnotherUsersLockInAStickyFolderHoldsThePortOnlyWhileItsProcessLives) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a lock file to another user";
    }
    constexpr uid_t kOwner = 1;
    constexpr uid_t kUser = 65534;
    char made[] = "/tmp/quillet-sticky-locks-XXXXXX";
    ASSERT_NE(::mkdtemp(made), nullptr);
    const std::string folder = made;
    const std::string lock = folder + "/" + uucpLockName(pty.devicePath());
    ASSERT_EQ(::chown(folder.c_str(), kOwner, kOwner), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 01777), 0);
    ASSERT_EQ(::chown(pty.devicePath().c_str(), kUser, kUser), 0);
    const auto lockOf = [&](pid_t owner) {
        writeFile(lock, lockText(owner));
        return ::chown(lock.c_str(), kOwner, kOwner) == 0;
    };
    // The user's program says openPort's code and keeps the port until told to close it.
    int said[2];
    int told[2];
    const auto openAsUser = [&] {
        EXPECT_EQ(::pipe(said), 0);
        EXPECT_EQ(::pipe(told), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(said[0]);
            ::close(told[1]);
            setUucpLockFolder(folder);
            const bool user =
                ::setgroups(0, nullptr) == 0 && ::setgid(kUser) == 0 && ::setuid(kUser) == 0;
            const char code = user ? static_cast<char>('0' + openPort("COM1", 9600)) : 'u';
            const bool wrote = code == '0' && writeBytes("M5\n", 3);
            [[maybe_unused]] ssize_t ignored = ::write(said[1], &code, 1);
            char wait = 0;
            ignored = ::read(told[0], &wait, 1);
            closePort();
            ::_exit(code == '0' && !wrote ? 1 : 0);
        }
        ::close(said[1]);
        ::close(told[0]);
        char code = '?';
        EXPECT_EQ(::read(said[0], &code, 1), 1);
        ::close(said[0]);
        return std::pair{child, code - '0'};
    };
    const auto closeAsUser = [&](pid_t child) {
        ::close(told[1]);
        EXPECT_EQ(exitStatus(child, 10s), 0);
    };

    // Asked whether root's process lives, the user's kill is refused: it lives.
    ASSERT_TRUE(lockOf(::getpid()));
    auto [refused, code] = openAsUser();
    EXPECT_EQ(code, kPortCannotOpen);
    closeAsUser(refused);
    EXPECT_EQ(fileText(lock), lockText(::getpid()));

    // Gone: the port opens with flock and exclusive mode, and the lock stays where it is.
    const pid_t gone = goneProcess();
    ASSERT_TRUE(lockOf(gone));
    auto [opened, openCode] = openAsUser();
    EXPECT_EQ(openCode, kPortOpened);
    if (openCode == kPortOpened) {
        EXPECT_EQ(pty.receive(3, 5s), "M5\n");
        OtherHolder other(pty.devicePath(), OtherHolder::Hold::Lock);
        EXPECT_FALSE(other.holding()) << "the port has its flock";
    }
    closeAsUser(opened);
    EXPECT_EQ(fileText(lock), lockText(gone));
    ::unlink(lock.c_str());
    EXPECT_EQ(::rmdir(folder.c_str()), 0) << "no file of the user's left behind";
}

// Programs that start at once against a stale lock: each round, one takes it over; at no
// moment do two believe they hold it, and none removes a lock that is not its own.
TEST(UucpLockRace, OneHolderAtATimeAndNobodyRemovesAnothersLock) {
    constexpr int kRounds = 40;
    constexpr int kPrograms = 8;
    const std::string device = "/dev/quillet-race";
    const std::string lock = lockFileFor(device);
    struct Tally {
        std::atomic<int> holding{0}, mostAtOnce{0}, taken{0}, lost{0};
    };
    void* shared =
        ::mmap(nullptr, sizeof(Tally), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* tally = new (shared) Tally;
    for (int round = 0; round < kRounds; ++round) {
        writeFile(lock, lockText(goneProcess()));
        const int takenBefore = tally->taken.load();
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        std::vector<pid_t> programs;
        for (int i = 0; i < kPrograms; ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(start[1]);
                char go = 0;
                [[maybe_unused]] const ssize_t ignored = ::read(start[0], &go, 1);
                UucpLock mine;
                if (mine.take(device) == UucpLock::Result::Taken) {
                    const int now = ++tally->holding;
                    int most = tally->mostAtOnce.load();
                    while (now > most && !tally->mostAtOnce.compare_exchange_weak(most, now)) {
                    }
                    ++tally->taken;
                    ::usleep(2000);
                    tally->lost += fileText(lock) == lockText(::getpid()) ? 0 : 1;
                    --tally->holding;
                }
                mine.release();
                ::_exit(0);
            }
            programs.push_back(child);
        }
        ::close(start[0]);
        ::close(start[1]);
        for (pid_t child : programs) {
            EXPECT_EQ(exitStatus(child, 10s), 0);
        }
        EXPECT_GT(tally->taken.load(), takenBefore) << "round " << round;
        EXPECT_EQ(fileText(lock), "<none>") << "round " << round;
    }
    EXPECT_EQ(tally->mostAtOnce.load(), 1);
    EXPECT_EQ(tally->lost.load(), 0);
    ::munmap(shared, sizeof(Tally));
}

}  // namespace
}  // namespace quillet
