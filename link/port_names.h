#pragma once

#include <string>

// The devices kv31 reaches beyond Quillet's COM1 and COM2, one implementation per platform.
namespace quillet {

// The device a port name stands for; empty when the name cannot be one.
// Windows: COM7, COM12 or any other device name opens as \\.\NAME; a name already in
// that form as it is. POSIX: a path as it is; a bare name (ttyUSB0) below /dev.
std::string deviceForAnyName(const char* name);

}  // namespace quillet
