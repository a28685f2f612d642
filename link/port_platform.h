#pragma once

#include <cstddef>
#include <string>

// The steps of the port that only the platform can take, one implementation per platform;
// serial_port.cpp takes the steps they share.
namespace quillet {

// Makes, once, what wakeReader needs; false when the system refuses it.
bool prepareReaderWake();

// The device behind "COM1" or "COM2" when no route covers it.
std::string deviceForName(const char* name);

// Opens the device exclusively with the printer's line settings and gives a code of
// openAnyPort. On any code but kPortOpened nothing stays open or held.
int openDevice(const std::string& path, int baud);

// Closes the open device and lets go of what was held with it; harmless when none is open.
void closeDevice();

// True iff all count bytes were written within limitMs. What is left unsent then is thrown
// away, so that it cannot go out later in the middle of the next command.
bool writeDevice(const unsigned char* bytes, std::size_t count, long long limitMs);

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
