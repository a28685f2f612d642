#pragma once

#include <string_view>

// Hooks into the link for the tests, the benchmarks and the demo; the program uses none.
namespace quillet {

// Routes a port name to another device path (an emulator's pseudo-terminal, say).
// An empty path removes the route.
void routePort(std::string_view name, std::string_view devicePath);

using PauseHook = void (*)(int milliseconds);

// Replaces every fixed pause of the protocol, so tests can see them without sleeping;
// nullptr restores the real sleep. Returns the previous hook.
PauseHook setPauseHook(PauseHook hook);

// POSIX: the folder of the UUCP lock files; empty restores the built-in one.
void setUucpLockFolder(std::string_view folder);

// POSIX: where the port listing looks instead of /sys, /dev and /proc (a fake sysfs);
// empty restores the real ones.
void setPortListingRoots(std::string_view sysRoot, std::string_view devRoot,
                         std::string_view procRoot);

// Win32: the open port's handle (a HANDLE), or INVALID_HANDLE_VALUE when none is open, to
// read back on the very handle what openPort configured.
void* openPortHandle();

}  // namespace quillet
