#pragma once

// kv31's exit codes. Scripts depend on them: a code keeps its meaning for good, and a new
// case gets a new number. With several problems the code is that of the first that
// stopped the run.
namespace kv31cli {

enum ExitCode : int {
    kExitDone = 0,            // done; for diff: printer and file are the same
    kExitUsage = 2,           // a usage error, or a file that is missing, unreadable or malformed
    kExitRejected = 3,        // a text or a file rejected before anything was sent
    kExitPortCannotOpen = 4,  // the port cannot be opened (no such port, no permission)
    kExitPortHeld = 5,        // the port is held by another program
    kExitNoAnswer = 6,        // the printer did not answer, or a reply was invalid
    kExitVerifyFailed = 8,    // a line read back after a write differs from what was written
    kExitDifferent = 9,       // diff: printer and file differ
    kExitInterrupted = 130,   // stopped by Ctrl+C, SIGTERM or a closed console
};

}  // namespace kv31cli
