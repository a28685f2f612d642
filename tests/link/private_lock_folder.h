#pragma once

#include <string>

namespace quillet::test {

// The folder that takes the link's UUCP lock files in this test program: a fresh one,
// removed at the end, so that no test leaves a file in the machine's lock folder.
const std::string& privateLockFolder();

}  // namespace quillet::test
