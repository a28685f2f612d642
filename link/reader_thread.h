#pragma once

namespace quillet {

// Starts the reader thread that moves received bytes into the receive ring.
// False when no port is open or the thread cannot be created; true when it already runs.
bool startReader();

// Discards everything received and not taken yet: the bytes in the receive ring, a byte
// in the reader's hands and what waits in the driver. Whatever is taken after the call
// arrived after it. Works with or without a reader running.
void discardReceived();

// Asks the reader thread to stop, wakes it and waits until it has ended, so that the
// port can be closed under it safely. Does nothing when no reader runs.
void stopReader();

}  // namespace quillet
