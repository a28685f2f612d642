#pragma once

#include <cstddef>

namespace quillet {

// Results of openPort.
inline constexpr int kPortOpened = 0;
inline constexpr int kPortCannotOpen = 1;
inline constexpr int kPortSettingsUnreadable = 2;
inline constexpr int kPortSettingsRefused = 3;
inline constexpr int kPortTimeoutsRefused = 4;
// Of openAnyPort only: another program holds the port (openPort says kPortCannotOpen).
inline constexpr int kPortHeldElsewhere = 5;

// Opens "COM1" or "COM2" (or a routed name) exclusively with the printer's line settings;
// any other name does not open, so Quillet reaches only the devices of those two.
// A port already open is closed first. On any code but kPortOpened nothing stays open.
int openPort(const char* name, int baud);

// As openPort, for kv31: COM1 and COM2 (and routed names) open the same devices, and any
// other name the device the platform gives it (port_names.h): \\.\COMn on Windows, a
// device path on POSIX. The same locks hold it.
int openAnyPort(const char* name, int baud);

// Ends the reader thread, if any (it is woken and waited for), then closes the port.
// Harmless when nothing is open.
void closePort();

// True iff all count bytes were written. Blocks until they are sent, or until the time
// limit of writeTimeLimitMs has passed: then what is unsent is discarded, and it is false.
bool writeBytes(const void* bytes, std::size_t count);

// Reader thread only: true iff exactly one byte was read. Returns false when the
// port is gone or closePort asked the reader to stop.
bool readByte(unsigned char& out);

}  // namespace quillet
