#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/backup_document.h"
#include "cli/options.h"
#include "cli/printer_session.h"

// The steps the commands share, each giving an exit code and telling the user on
// failure. Each looks for an interrupt before it talks to the printer.
namespace kv31cli {

// Opens the session on the options' port.
int openSession(PrinterSession& session, const Options& options);

// Reads the given lines into out, in the order given, with progress; stops at the first
// line that does not come back.
int readLines(PrinterSession& session, const std::vector<int>& lines, std::vector<BackupLine>& out);

// Sends one header write command, then reads the line back as Quillet does after the header
// editor (mode 5, a drain, the query) and compares font and every byte of the text.
int writeAndVerify(PrinterSession& session, std::string_view command);

// Compares a line read back with what was written; kExitVerifyFailed, with both shown,
// when they differ.
int compareReadBack(int line, const LineContent& written, const LineContent& read);

// Tells that the run was interrupted; kExitInterrupted.
int interrupted();

// "Arial 20" (4)
std::string describeFont(int font);

}  // namespace kv31cli
