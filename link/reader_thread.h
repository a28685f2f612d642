#pragma once

namespace quillet {

// Asks the reader thread to stop, wakes it and waits until it has ended, so that the
// port can be closed under it safely. Does nothing when no reader runs.
void stopReader();

}  // namespace quillet
