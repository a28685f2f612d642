#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/options.h"
#include "cli/reporter.h"

namespace {

int dispatch(const kv31cli::Options& options) {
    using kv31cli::Command;
    switch (options.command) {
        case Command::Ports:
            return kv31cli::runPortsCommand(options);
        case Command::Read:
            return kv31cli::runReadCommand(options);
        case Command::Write:
            return kv31cli::runWriteCommand(options);
        case Command::Backup:
            return kv31cli::runBackupCommand(options);
        case Command::Restore:
            return kv31cli::runRestoreCommand(options);
        case Command::Diff:
            return kv31cli::runDiffCommand(options);
        case Command::Defaults:
            return kv31cli::runDefaultsCommand(options);
        case Command::TestPage:
            return kv31cli::runTestPageCommand(options);
        case Command::Check:
            return kv31cli::runCheckCommand(options);
        case Command::Help:
            std::fputs(kv31cli::usageText(), stdout);
            return kv31cli::kExitDone;
        case Command::Version:
            std::printf("kv31 %s\n", QUILLET_VERSION);
            return kv31cli::kExitDone;
        case Command::None:
            break;
    }
    return kv31cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const kv31cli::ParseResult parsed = kv31cli::parseArguments(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "kv31: %s\n", parsed.error.c_str());
        return kv31cli::kExitUsage;
    }
    kv31cli::watchForInterrupts();
    kv31cli::startReporting({parsed.options.verbose, parsed.options.trace});
    int code = dispatch(parsed.options);
    kv31cli::stopReporting();
    // Data that did not reach stdout (a full disk, a closed pipe) is a failure too.
    if ((std::fflush(stdout) != 0 || std::ferror(stdout) != 0) && code == kv31cli::kExitDone) {
        kv31cli::reportError("the output cannot be written");
        code = kv31cli::kExitUsage;
    }
    kv31cli::interruptsHandled();
    return code;
}
