#pragma once

namespace quillet {

// Starts the reader thread that moves received bytes into the receive ring.
// False when no port is open or the thread cannot be created; true when it already runs.
bool startReader();

// Asks the reader thread to stop, wakes it and waits until it has ended, so that the
// port can be closed under it safely. Does nothing when no reader runs.
void stopReader();

}  // namespace quillet
