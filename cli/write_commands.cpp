// write, defaults and test-page: the exchanges of Quillet's Modify..., Set Defaults and
// Print Test Page.
#include <cstdio>

#include "cli/byte_display.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exchanges.h"
#include "cli/exit_codes.h"
#include "cli/reporter.h"
#include "cli/text_checks.h"
#include "link/line_reader.h"
#include "link/pause.h"
#include "protocol/header_write.h"
#include "protocol/printer_commands.h"

namespace kv31cli {

namespace {

// What Quillet waits after writing the default lines, before reading them back.
constexpr int kDefaultsSettleMs = 2000;
// Print Test Page drains with wider lines than the readbacks.
constexpr std::size_t kTestPageDrainCapacity = 80;

void printCommand(std::string_view command) {
    std::printf("%s\n", readableCommand(command).c_str());
}

int writeDefaultLines(PrinterSession& session) {
    session.prepareExchange(quillet::kShortLineCapacity);
    for (std::size_t i = 0; i < quillet::kDefaultHeaderSet.size(); ++i) {
        if (interruptRequested()) {
            return interrupted();
        }
        showProgress("writing line " + std::to_string(i + 1) + " of 6");
        if (!session.send(quillet::kDefaultHeaderSet[i])) {
            reportError("line " + std::to_string(i + 1) + ": the write did not go out on the port");
            return kExitNoAnswer;
        }
    }
    showProgress("waiting for the printer to store the lines");
    quillet::pause(kDefaultsSettleMs);
    return kExitDone;
}

int verifyDefaultLines(PrinterSession& session) {
    std::vector<BackupLine> lines;
    if (const int code = readLines(session, {1, 2, 3, 4, 5, 6}, lines); code != kExitDone) {
        return code;
    }
    for (const BackupLine& entry : lines) {
        int line = 0;
        LineContent written;
        contentOfWrite(quillet::kDefaultHeaderSet[entry.line - 1], line, written);
        if (const int code = compareReadBack(entry.line, written, entry.content);
            code != kExitDone) {
            return code;
        }
    }
    return kExitDone;
}

}  // namespace

int runWriteCommand(const Options& options) {
    if (const std::string problem = writeTextProblem(options.line, options.font, options.text);
        !problem.empty()) {
        reportError(problem);
        return kExitRejected;
    }
    std::string command;
    if (!quillet::composeHeaderWrite(options.line, options.font, options.alignment, options.text,
                                     command)) {
        reportError("line " + std::to_string(options.line) + ": the write cannot be composed");
        return kExitRejected;
    }
    if (options.dryRun) {
        printCommand(command);
        return kExitDone;
    }
    PrinterSession session;
    int code = openSession(session, options);
    if (code == kExitDone) {
        code = writeAndVerify(session, command);
    }
    endProgress();
    return code;
}

int runDefaultsCommand(const Options& options) {
    if (options.dryRun) {
        for (const std::string_view command : quillet::kDefaultHeaderSet) {
            printCommand(command);
        }
        return kExitDone;
    }
    PrinterSession session;
    int code = openSession(session, options);
    if (code == kExitDone) {
        code = writeDefaultLines(session);
    }
    if (code == kExitDone) {
        code = verifyDefaultLines(session);
    }
    endProgress();
    return code;
}

int runTestPageCommand(const Options& options) {
    PrinterSession session;
    int code = openSession(session, options);
    if (code != kExitDone) {
        return code;
    }
    session.prepareExchange(kTestPageDrainCapacity);
    for (int line = 1; line <= 6; ++line) {
        if (interruptRequested()) {
            return interrupted();
        }
        showProgress("printing line " + std::to_string(line) + " of 6");
        const auto command = quillet::printHeaderCommand(line);
        session.send(std::string_view(command.data(), command.size()));
    }
    session.send(quillet::kFeedCommand);
    endProgress();
    return kExitDone;
}

}  // namespace kv31cli
