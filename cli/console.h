#pragma once

// What kv31 needs of the console and the process's signals, one implementation per
// platform (console_posix.cpp, console_win32.cpp).
namespace kv31cli {

// From now on Ctrl+C and SIGTERM (Windows: Ctrl+C, Ctrl+Break, a closed console, a logoff
// or shutdown) do not end the process: they set a flag that the exchanges look at between
// their steps, so that the printer is switched back before kv31 exits. A second signal
// ends the process at once.
void watchForInterrupts();

// True once such a signal has come.
bool interruptRequested();

// Called when the printer has been let go, just before kv31 exits: on Windows a console
// being closed waits for this before the system ends the process.
void interruptsHandled();

// Whether stderr is a terminal, where progress can be redrawn on one line.
bool stderrIsTerminal();

}  // namespace kv31cli
