#include <unistd.h>

#include <atomic>
#include <csignal>

#include "cli/console.h"

namespace kv31cli {

namespace {

volatile std::sig_atomic_t interruptFlag = 0;

extern "C" void onInterrupt(int) {
    interruptFlag = 1;
}

void watch(int signalNumber) {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // The first signal is ours to handle; a second one ends kv31 the usual way.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

}  // namespace

void watchForInterrupts() {
    watch(SIGINT);
    watch(SIGTERM);
    // A reader that went away (kv31 ... | head) shows as a failed write, which kv31 reports
    // after it has let the printer go, rather than as a signal that ends it at once.
    std::signal(SIGPIPE, SIG_IGN);
}

bool interruptRequested() {
    return interruptFlag != 0;
}

void interruptsHandled() {}

bool stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace kv31cli
