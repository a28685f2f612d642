// kv31-sim: plays the KV-31 printer on a pseudo-terminal (or a serial device) until
// interrupted, logging each command it receives.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "emulator/background_log.h"
#include "emulator/kv31_emulator.h"

namespace {

struct Options {
    std::string device;
    bool pacing = true;
    kv31::Faults faults;
};

void printUsage(std::FILE* to) {
    static_cast<void>(std::fputs(
        "usage: kv31-sim [options]\n"
        "  --device PATH              serve a serial device instead of a pseudo-terminal\n"
        "  --no-pacing                send at once instead of at 9600 baud\n"
        "  --silent                   answer nothing\n"
        "  --silent-line N            no reply to the query for line N\n"
        "  --unknown-font             report a font name the host does not know\n"
        "  --unknown-font-line N      the same in the replies for line N only\n"
        "  --text-before-header TEXT  put TEXT in front of \"Header <n>\"\n"
        "  --lf-without-cr            end reply lines with LF alone\n"
        "  --noise TEXT               send TEXT after each reply\n"
        "  --overlong N               send a line of N characters before each reply\n"
        "  --reply-delay MS           wait MS milliseconds before each reply\n"
        "  --delayed-line N           delay only the replies for line N\n"
        "  --line-gap MS              wait MS milliseconds between the lines of a reply\n"
        "  --chatter MS               send a status line every MS milliseconds, unasked\n"
        "  --deaf                     read nothing that is sent\n"
        "  --vanish-after N           close the device after N reply bytes\n"
        "  --misstore-line N          store each write to line N with its last byte changed\n"
        "TEXT may hold any byte as \\xHH, and \\0 \\r \\n \\t \\e \\\\ as in C.\n",
        to));
}

bool toInt(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 1'000'000'000L) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// C-like escapes, so that a fault's text can hold any byte, NUL included.
bool unescape(const char* text, std::string& bytes) {
    constexpr std::string_view kLetters = "0rnte\\";
    constexpr std::string_view kBytes{"\0\r\n\t\x1b\\", 6};
    bytes.clear();
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c != '\\') {
            bytes += *c;
            continue;
        }
        ++c;
        if (*c == 'x' && hexDigit(c[1]) >= 0 && hexDigit(c[2]) >= 0) {
            bytes += static_cast<char>(hexDigit(c[1]) * 16 + hexDigit(c[2]));
            c += 2;
            continue;
        }
        const std::size_t at = kLetters.find(*c);
        if (*c == '\0' || at == std::string_view::npos) {
            return false;
        }
        bytes += kBytes[at];
    }
    return true;
}

bool parseNumbered(const std::string& name, int number, Options& options) {
    if (name == "--silent-line") {
        options.faults.silentLine = number;
    } else if (name == "--unknown-font-line") {
        options.faults.unknownFontLine = number;
    } else if (name == "--line-gap") {
        options.faults.replyLineGapMs = number;
    } else if (name == "--chatter") {
        options.faults.chatterIntervalMs = number;
    } else if (name == "--overlong") {
        options.faults.overlongLineBytes = static_cast<std::size_t>(number);
    } else if (name == "--reply-delay") {
        options.faults.replyDelayMs = number;
    } else if (name == "--delayed-line") {
        options.faults.delayedLine = number;
    } else if (name == "--vanish-after") {
        options.faults.vanishAfterReplyBytes = number;
    } else if (name == "--misstore-line") {
        options.faults.misstoredLine = number;
    } else {
        return false;
    }
    return true;
}

// Options taking a value; false when the value is missing or not a number.
bool parseValued(const std::string& name, const char* value, Options& options) {
    if (name == "--device") {
        options.device = value;
    } else if (name == "--text-before-header") {
        return unescape(value, options.faults.textBeforeHeader);
    } else if (name == "--noise") {
        return unescape(value, options.faults.noiseBetweenReplies);
    } else {
        int number = 0;
        return toInt(value, number) && parseNumbered(name, number, options);
    }
    return true;
}

bool parseFlag(const std::string& name, Options& options) {
    if (name == "--no-pacing") {
        options.pacing = false;
    } else if (name == "--silent") {
        options.faults.silent = true;
    } else if (name == "--unknown-font") {
        options.faults.unknownFontName = true;
    } else if (name == "--lf-without-cr") {
        options.faults.lfWithoutCr = true;
    } else if (name == "--deaf") {
        options.faults.deaf = true;
    } else {
        return false;
    }
    return true;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (parseFlag(name, options)) {
            continue;
        }
        if (i + 1 >= argc || !parseValued(name, argv[i + 1], options)) {
            static_cast<void>(std::fprintf(stderr, "kv31-sim: bad option %s\n", name.c_str()));
            return false;
        }
        ++i;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        printUsage(stdout);
        return 0;
    }
    if (!parseOptions(argc, argv, options)) {
        printUsage(stderr);
        return 2;
    }
    // Blocked before any thread starts, so only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A log reader that goes away ends the log, not the printer.
    static_cast<void>(signal(SIGPIPE, SIG_IGN));

    // Serving never waits for whoever reads the log.
    kv31::BackgroundLog log(STDOUT_FILENO);
    kv31::Emulator emulator;
    emulator.setPacing(options.pacing);
    emulator.setFaults(options.faults);
    emulator.setCommandLog([&log](const std::string& line) { log.post(line); });
    const bool started =
        options.device.empty() ? emulator.start() : emulator.startOnDevice(options.device);
    if (!started) {
        static_cast<void>(
            std::fprintf(stderr, "kv31-sim: cannot open %s\n",
                         options.device.empty() ? "a pseudo-terminal" : options.device.c_str()));
        return 1;
    }
    log.post(emulator.devicePath());

    int signal = 0;
    sigwait(&stopSignals, &signal);
    emulator.stop();
    return 0;
}
