#include "cli/exchanges.h"

#include "cli/byte_display.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/reporter.h"
#include "link/line_reader.h"
#include "protocol/printer_font.h"

namespace kv31cli {

int openSession(PrinterSession& session, const Options& options) {
    if (interruptRequested()) {
        return interrupted();
    }
    showProgress("opening " + options.port);
    const int code = session.open(options.port);
    if (code == kExitPortHeld) {
        reportError(options.port + ": held by another program (close it, or see who has it)");
    } else if (code != kExitDone) {
        reportError(options.port +
                    ": cannot be opened (no such port, no permission, or not a serial port)");
    }
    return code;
}

int readLines(PrinterSession& session, const std::vector<int>& lines,
              std::vector<BackupLine>& out) {
    out.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (interruptRequested()) {
            return interrupted();
        }
        const int line = lines[i];
        showProgress("reading line " + std::to_string(line) + " (" + std::to_string(i + 1) +
                     " of " + std::to_string(lines.size()) + ")");
        quillet::HeaderRecord record;
        if (!session.readLine(line, record)) {
            reportError("line " + std::to_string(line) +
                        ": the printer did not answer, or its reply was invalid");
            return kExitNoAnswer;
        }
        out.push_back({line, contentOf(record)});
    }
    endProgress();
    return kExitDone;
}

int writeAndVerify(PrinterSession& session, std::string_view command) {
    int line = 0;
    LineContent written;
    if (!contentOfWrite(command, line, written)) {
        reportError("internal error: not a header write: " + readableCommand(command));
        return kExitUsage;
    }
    if (interruptRequested()) {
        return interrupted();
    }
    showProgress("writing line " + std::to_string(line));
    if (!session.send(command)) {
        reportError("line " + std::to_string(line) + ": the write did not go out on the port");
        return kExitNoAnswer;
    }
    if (interruptRequested()) {
        return interrupted();
    }
    showProgress("reading line " + std::to_string(line) + " back");
    session.prepareExchange(quillet::kShortLineCapacity);
    quillet::HeaderRecord record;
    if (!session.readLine(line, record)) {
        reportError("line " + std::to_string(line) +
                    ": written, but the printer did not answer when it was read back");
        return kExitNoAnswer;
    }
    return compareReadBack(line, written, contentOf(record));
}

int compareReadBack(int line, const LineContent& written, const LineContent& read) {
    if (written == read) {
        note("line " + std::to_string(line) + ": written and read back the same");
        return kExitDone;
    }
    reportError("line " + std::to_string(line) + ": read back different: written " +
                describeFont(written.font) + " " + quotedText(written.text) + ", read " +
                describeFont(read.font) + " " + quotedText(read.text));
    return kExitVerifyFailed;
}

int interrupted() {
    reportError("interrupted: the printer is switched back and the port closed");
    return kExitInterrupted;
}

std::string describeFont(int font) {
    return "\"" + std::string(quillet::kPrinterFonts[font].listName) + "\" (" +
           std::to_string(font + 1) + ")";
}

}  // namespace kv31cli
