// Reads the six header lines from the emulated printer at 9600-baud pacing, then
// measures the process's CPU time while the link idles, while the receive ring is full
// and after the device vanished, and how long Print Test Page's exchange takes while the
// printer sends a status line every 100 ms, and the first readback after 30 s of such
// status lines while nobody read them.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "emulator/kv31_emulator.h"
#include "link/line_reader.h"
#include "link/reader_thread.h"
#include "link/receive_ring.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"
#include "protocol/header_readback.h"
#include "protocol/printer_commands.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kMsPerByte = 10.0 * 1000.0 / 9600.0;  // 8N1: ten bit times a byte
constexpr double kReplyPauseMs = 500.0;

double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// Bytes of the four reply lines the emulator sends for one stored line.
std::size_t replyBytes(const kv31::StoredLine& line, int number) {
    std::string header = "Header " + std::to_string(number);
    std::string font = std::string("font:    ") + kv31::printerFontName(line.printerFont);
    std::string text = line.text.empty() ? "Empty" : "\"" + line.text + "\"";
    return header.size() + font.size() + std::string("text: ").size() + text.size() + 4 * 2;
}

// The reply of each readback arrives during its first 500 ms pause, so the pacing
// floor of one readback is the longer of that pause and the reply's wire time.
double pacingFloorMs(const kv31::Emulator& printer) {
    double floor = 0;
    auto lines = printer.lines();
    for (int n = 1; n <= 6; ++n) {
        double wire = replyBytes(lines[n - 1], n) * kMsPerByte;
        floor += wire > kReplyPauseMs ? wire : kReplyPauseMs;
    }
    return floor;
}

double idleCpuMs(int seconds) {
    double before = processCpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return processCpuMs() - before;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The reader with nowhere to put what arrives, once the printer has sent all it had.
double fullRingCpuMs(kv31::Emulator& printer) {
    printer.send(std::string(quillet::ReceiveRing::kSize + 500, 'x'));
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while (quillet::receiveRing().unreadCount() < quillet::ReceiveRing::kMaxUnread &&
           Clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double cpuMs = idleCpuMs(10);
    printer.send("\r\n");
    quillet::drainLines(quillet::kReplyLineCapacity);
    return cpuMs;
}

// The printer sends a status line every 100 ms for 30 s while nobody reads: the ring
// fills and the rest waits in the driver. Then one readback, timed.
double readbackAfterChatterMs(kv31::Emulator& printer, bool& read) {
    kv31::Faults chatty;
    chatty.chatterIntervalMs = 100;
    printer.setFaults(chatty);
    std::this_thread::sleep_for(std::chrono::seconds(30));
    printer.setFaults({});
    // The last status line finishes on the wire.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto start = Clock::now();
    quillet::HeaderRecord record;
    read = quillet::readHeader(1, record);
    return msSince(start);
}

bool sendCommand(std::string_view command) {
    return quillet::writeBytes(command.data(), command.size());
}

// The main window's Print Test Page: mode 5, a drain, six print commands and the feed.
double chattyTestPageMs(kv31::Emulator& printer) {
    kv31::Faults chatty;
    chatty.chatterIntervalMs = 100;
    printer.setFaults(chatty);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto start = Clock::now();
    sendCommand(quillet::kMode5Command);
    quillet::drainLines(80);
    for (int line = 1; line <= 6; ++line) {
        const auto command = quillet::printHeaderCommand(line);
        sendCommand({command.data(), command.size()});
    }
    sendCommand(quillet::kFeedCommand);
    const double ms = msSince(start);
    printer.setFaults({});
    return ms;
}

}  // namespace

int main() {
    kv31::Emulator printer;
    if (!printer.start()) {
        std::fprintf(stderr, "no pseudo-terminal for the emulator\n");
        return 1;
    }
    quillet::routePort("COM1", printer.devicePath());
    if (quillet::openPort("COM1", 9600) != quillet::kPortOpened || !quillet::startReader()) {
        std::fprintf(stderr, "cannot open the emulated port\n");
        return 1;
    }

    auto start = Clock::now();
    int read = 0;
    for (int n = 1; n <= 6; ++n) {
        quillet::HeaderRecord record;
        read += quillet::readHeader(n, record) ? 1 : 0;
    }
    double readMs = msSince(start);
    double floorMs = pacingFloorMs(printer);

    double idleMs = idleCpuMs(10);
    double fullRingMs = fullRingCpuMs(printer);
    double testPageMs = chattyTestPageMs(printer);
    bool readAfterChatter = false;
    double afterChatterMs = readbackAfterChatterMs(printer, readAfterChatter);
    printer.vanish();
    double vanishedMs = idleCpuMs(10);
    quillet::closePort();

    std::printf("%-44s %10s %10s\n", "measure", "value", "target");
    std::printf("%-44s %8.0f ms %10s\n", "six readbacks at 9600 baud", readMs, "");
    std::printf("%-44s %8.0f ms %10s\n", "pacing floor", floorMs, "");
    std::printf("%-44s %8.1f %% %10s\n", "over the floor", 100.0 * (readMs - floorMs) / floorMs,
                "< 5 %");
    std::printf("%-44s %8d %10s\n", "lines read", read, "6");
    std::printf("%-44s %8.1f ms %10s\n", "CPU over 10 s idle, port open", idleMs, "< 20 ms");
    std::printf("%-44s %8.1f ms %10s\n", "CPU over 10 s with the receive ring full", fullRingMs,
                "< 20 ms");
    std::printf("%-44s %8.0f ms %10s\n", "Print Test Page, a status line every 100 ms", testPageMs,
                "< 2500 ms");
    std::printf("%-44s %8.1f ms %10s\n", "CPU over 10 s after the device vanished", vanishedMs,
                "< 20 ms");
    std::printf("%-44s %8.0f ms %10s\n", "first readback after 30 s of chatter, idle",
                afterChatterMs, "~500 ms");
    std::printf("%-44s %8s %10s\n", "  ... it succeeded", readAfterChatter ? "yes" : "no", "yes");
    return read == 6 && readAfterChatter ? 0 : 1;
}
