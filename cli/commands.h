#pragma once

#include "cli/options.h"

// One function per command; each returns the exit code of exit_codes.h.
namespace kv31cli {

int runPortsCommand(const Options& options);
int runReadCommand(const Options& options);
int runWriteCommand(const Options& options);
int runBackupCommand(const Options& options);
int runRestoreCommand(const Options& options);
int runDiffCommand(const Options& options);
int runDefaultsCommand(const Options& options);
int runTestPageCommand(const Options& options);
int runCheckCommand(const Options& options);

}  // namespace kv31cli
