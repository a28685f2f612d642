#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "cli/console.h"

namespace kv31cli {

namespace {

std::atomic<bool> interruptFlag{false};
// Set once the printer has been let go; a console close waits on it.
HANDLE handledEvent = nullptr;
// The system ends the process some seconds after a close event's handler is called.
constexpr DWORD kCloseWaitMs = 4500;

BOOL WINAPI onConsoleEvent(DWORD event) {
    const bool again = interruptFlag.exchange(true);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        // A second Ctrl+C ends kv31 the usual way.
        return again ? FALSE : TRUE;
    }
    // Close, logoff, shutdown: the process ends when this returns, so it waits for
    // the main thread to switch the printer back.
    if (handledEvent != nullptr) {
        WaitForSingleObject(handledEvent, kCloseWaitMs);
    }
    return TRUE;
}

}  // namespace

void watchForInterrupts() {
    handledEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool interruptRequested() {
    return interruptFlag.load();
}

void interruptsHandled() {
    if (handledEvent != nullptr) {
        SetEvent(handledEvent);
    }
}

bool stderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

}  // namespace kv31cli
