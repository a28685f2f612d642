#include <cstdio>

#include "cli/commands.h"
#include "cli/exit_codes.h"

namespace kv31cli {

namespace {

int notYet(const char* name) {
    std::fprintf(stderr, "kv31: %s: not available yet\n", name);
    return kExitUsage;
}

}  // namespace

int runReadCommand(const Options&) {
    return notYet("read");
}
int runWriteCommand(const Options&) {
    return notYet("write");
}
int runBackupCommand(const Options&) {
    return notYet("backup");
}
int runRestoreCommand(const Options&) {
    return notYet("restore");
}
int runDiffCommand(const Options&) {
    return notYet("diff");
}
int runDefaultsCommand(const Options&) {
    return notYet("defaults");
}
int runTestPageCommand(const Options&) {
    return notYet("test-page");
}
int runCheckCommand(const Options&) {
    return notYet("check");
}

}  // namespace kv31cli
