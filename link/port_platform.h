#pragma once

// What the reader thread needs from the platform's port; one implementation per platform.
namespace quillet {

// True while a port is open (window thread).
bool portIsOpen();

// Makes a pending or the next readByte return false, until clearReaderWake.
void wakeReader();
void clearReaderWake();

// Discards what the driver has received and not handed to readByte yet; nothing when no
// port is open.
void flushPortInput();

// Called on the reader thread; a refusal of the system is not an error.
void raiseReaderPriority();

}  // namespace quillet
