#pragma once

// Win32 only.
namespace quillet {

// The open port's handle (a HANDLE), or INVALID_HANDLE_VALUE when none is open. For the
// tests that read back, on the very handle, what openPort configured.
void* openPortHandle();

}  // namespace quillet
