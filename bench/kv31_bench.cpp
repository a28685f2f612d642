// Times the real kv31 program against the emulated printer at 9600-baud pacing: `read` of
// the six lines, and `restore` of a backup that differs from the printer in one line,
// counting the header writes the printer received. Every run ends as Quillet's does, with
// mode 1 and a 500 ms pause before the port closes, so the target of 5 % over the pacing
// floor is taken with that pause added to the floor.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "emulator/kv31_emulator.h"
#include "protocol/header_write.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kMsPerByte = 10.0 * 1000.0 / 9600.0;  // 8N1: ten bit times a byte
constexpr double kReplyPauseMs = 500.0;
constexpr double kClosePauseMs = 500.0;  // after mode 1, before the port closes

// The pacing floor of one readback: its first 500 ms pause, or the reply's wire time if
// that is longer (the four reply lines of the stored line).
double readbackFloorMs(const kv31::StoredLine& line, int number) {
    const std::string text = line.text.empty() ? "Empty" : "\"" + line.text + "\"";
    const std::size_t bytes =
        ("Header " + std::to_string(number)).size() +
        (std::string("font:    ") + kv31::printerFontName(line.printerFont)).size() +
        std::string("text: ").size() + text.size() + 4 * 2;
    const double wire = bytes * kMsPerByte;
    return wire > kReplyPauseMs ? wire : kReplyPauseMs;
}

double sixReadbacksFloorMs(const kv31::Emulator& printer) {
    double floor = 0;
    const auto lines = printer.lines();
    for (int n = 1; n <= 6; ++n) {
        floor += readbackFloorMs(lines[n - 1], n);
    }
    return floor;
}

// Runs kv31 with its output thrown away; the exit code, or -1.
int runKv31(std::vector<std::string> args, double& ms) {
    args.insert(args.begin(), KV31_PROGRAM);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = -1;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(child, &status, 0) != child) {
        return -1;
    }
    ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void row(const char* measure, double value, const char* unit, const char* target) {
    std::printf("%-52s %8.1f %-2s %12s\n", measure, value, unit, target);
}

void countRow(const char* measure, int value, const char* target) {
    std::printf("%-52s %8d    %12s\n", measure, value, target);
}

}  // namespace

int main() {
    kv31::Emulator printer;
    if (!printer.start()) {
        std::fprintf(stderr, "no pseudo-terminal for the emulator\n");
        return 1;
    }
    std::atomic<int> writes{0};
    printer.setCommandLog([&writes](const std::string& command) {
        if (command.rfind("write header ", 0) == 0) {
            ++writes;
        }
    });
    const std::string port = printer.devicePath();
    char backup[] = "/tmp/kv31-bench-XXXXXX";
    const int backupFd = ::mkstemp(backup);
    if (backupFd < 0) {
        return 1;
    }
    ::close(backupFd);

    double readMs = 0;
    const int readCode = runKv31({"-p", port, "read"}, readMs);
    const double readFloorMs = sixReadbacksFloorMs(printer);

    double backupMs = 0;
    const int backupCode = runKv31({"-p", port, "backup", "-o", backup}, backupMs);
    const kv31::StoredLine kept = printer.lines()[3];
    printer.setLine(4, kept.printerFont == 1 ? 2 : 1, "Changed since the backup");
    writes = 0;
    double restoreMs = 0;
    const int restoreCode = runKv31({"-p", port, "restore", backup}, restoreMs);
    const bool restored =
        printer.lines()[3].text == kept.text && printer.lines()[3].printerFont == kept.printerFont;
    std::string write;
    quillet::composeHeaderWrite(4, kept.printerFont - 1, quillet::Alignment::Left, kept.text,
                                write);
    // Six readbacks to compare, one write, one readback to verify it. The write's wire time
    // is the real printer's; a pseudo-terminal takes it at once.
    const double restoreFloorMs =
        sixReadbacksFloorMs(printer) + write.size() * kMsPerByte + readbackFloorMs(kept, 4);
    ::unlink(backup);

    std::printf("%-52s %11s %12s\n", "measure", "value", "target");
    countRow("kv31 read, six lines (exit code)", readCode, "0");
    row("kv31 read, start to exit", readMs, "ms", "");
    row("six readbacks' pacing floor", readFloorMs, "ms", "");
    row("  over that floor", 100.0 * (readMs - readFloorMs) / readFloorMs, "%", "");
    row("  over it with the 500 ms pause before closing",
        100.0 * (readMs - readFloorMs - kClosePauseMs) / (readFloorMs + kClosePauseMs), "%",
        "< 5 %");
    countRow("kv31 backup (exit code)", backupCode, "0");
    countRow("kv31 restore, one line differs (exit code)", restoreCode, "0");
    row("kv31 restore, start to exit", restoreMs, "ms", "");
    row("one write and seven readbacks' pacing floor", restoreFloorMs, "ms", "");
    row("  over that floor", 100.0 * (restoreMs - restoreFloorMs) / restoreFloorMs, "%", "");
    row("  over it with the 500 ms pause before closing",
        100.0 * (restoreMs - restoreFloorMs - kClosePauseMs) / (restoreFloorMs + kClosePauseMs),
        "%", "< 5 %");
    countRow("header writes the printer received", writes.load(), "1");
    std::printf("%-52s %11s %12s\n", "  the changed line restored", restored ? "yes" : "no", "yes");
    return readCode == 0 && restoreCode == 0 && writes.load() == 1 && restored ? 0 : 1;
}
