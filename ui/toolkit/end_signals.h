#pragma once

namespace quillet {

// The signals by which the system ends a program: SIGTERM (a shutdown, a logout, kill),
// SIGHUP (its terminal closed) and SIGINT (Ctrl+C). Caught, each becomes a byte on a pipe,
// so that the event loop acts on it, never the signal handler.

// Catches them from now on; returns the pipe's end to watch, or -1 when they cannot be
// caught (they then end the program as before).
int catchEndSignals();
// Empties the pipe once the loop has seen it readable.
void takeEndSignals(int fd);
// Their default action again.
void releaseEndSignals();

}  // namespace quillet
