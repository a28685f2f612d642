// restore: a backup given back to the printer, only the lines that differ, each verified.
#include <cstdio>

#include "cli/backup_document.h"
#include "cli/byte_display.h"
#include "cli/commands.h"
#include "cli/exchanges.h"
#include "cli/exit_codes.h"
#include "cli/reporter.h"
#include "cli/text_checks.h"
#include "protocol/header_write.h"

namespace kv31cli {

namespace {

// The six write commands, each text as it stands (its alignment spaces are part of it);
// every line is checked before anything is sent.
int composeRestore(const Backup& backup, std::vector<std::string>& commands) {
    commands.clear();
    for (const BackupLine& entry : backup.lines) {
        const LineContent& content = entry.content;
        if (const std::string problem = storedTextProblem(entry.line, content.font, content.text);
            !problem.empty()) {
            reportError(problem);
            return kExitRejected;
        }
        std::string command;
        if (!quillet::composeHeaderWrite(entry.line, content.font, quillet::Alignment::Left,
                                         content.text, command)) {
            reportError("line " + std::to_string(entry.line) + ": the write cannot be composed");
            return kExitRejected;
        }
        commands.push_back(std::move(command));
    }
    return kExitDone;
}

// The lines to write: those the printer holds differently, or all six with --force.
int linesToWrite(PrinterSession& session, const Options& options, const Backup& backup,
                 std::vector<int>& lines) {
    lines.clear();
    if (options.force) {
        lines = {1, 2, 3, 4, 5, 6};
        return kExitDone;
    }
    std::vector<BackupLine> current;
    if (const int code = readLines(session, {1, 2, 3, 4, 5, 6}, current); code != kExitDone) {
        return code;
    }
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (current[i].content == backup.lines[i].content) {
            note("line " + std::to_string(current[i].line) + " is the same: not written");
        } else {
            lines.push_back(current[i].line);
        }
    }
    return kExitDone;
}

}  // namespace

int runRestoreCommand(const Options& options) {
    const LoadedBackup loaded = loadBackup(options.file);
    if (!loaded.error.empty()) {
        reportError(loaded.error);
        return kExitUsage;
    }
    std::vector<std::string> commands;
    if (const int code = composeRestore(loaded.backup, commands); code != kExitDone) {
        return code;
    }
    PrinterSession session;
    int code = openSession(session, options);
    std::vector<int> lines;
    if (code == kExitDone) {
        code = linesToWrite(session, options, loaded.backup, lines);
    }
    for (std::size_t i = 0; code == kExitDone && i < lines.size(); ++i) {
        const std::string& command = commands[lines[i] - 1];
        if (options.dryRun) {
            std::printf("%s\n", readableCommand(command).c_str());
        } else {
            code = writeAndVerify(session, command);
        }
    }
    endProgress();
    if (code == kExitDone && !options.dryRun) {
        note(std::to_string(lines.size()) + " of 6 lines written and verified");
    }
    return code;
}

}  // namespace kv31cli
