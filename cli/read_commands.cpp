// read, backup and diff: they query the printer and write nothing to it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "cli/backup_document.h"
#include "cli/byte_display.h"
#include "cli/commands.h"
#include "cli/exchanges.h"
#include "cli/exit_codes.h"
#include "cli/reporter.h"
#include "protocol/printer_font.h"

namespace kv31cli {

namespace {

const std::vector<int> kAllLines = {1, 2, 3, 4, 5, 6};

// 1  "Arial 20" (4)          212 of 380 dots  "  Brellic Technology"
void printLine(const BackupLine& entry) {
    const LineContent& content = entry.content;
    std::printf("%d  %-22s %3d of %d dots  %s\n", entry.line, describeFont(content.font).c_str(),
                quillet::printedWidth(content.font, content.text), quillet::kLineWidthDots,
                quotedText(content.text).c_str());
}

Backup backupOf(const Options& options, std::vector<BackupLine> lines) {
    return Backup{currentUtcTime(), options.port, std::move(lines)};
}

// The session and the six lines, for the commands that read them all.
int readAllLines(const Options& options, std::vector<BackupLine>& lines) {
    PrinterSession session;
    int code = openSession(session, options);
    if (code == kExitDone) {
        code = readLines(session, kAllLines, lines);
    }
    return code;
}

// The backup goes to a file beside the target first, so that a failed run never leaves
// an old backup cut short or empty.
class OutputFile {
  public:
    explicit OutputFile(std::string path) : path_(std::move(path)), temporary_(path_ + ".part") {}
    ~OutputFile() {
        if (stream_.is_open()) {
            stream_.close();
            std::error_code ignored;
            std::filesystem::remove(temporary_, ignored);
        }
    }

    bool open() {
        stream_.open(temporary_, std::ios::binary | std::ios::trunc);
        return stream_.is_open();
    }

    bool commit(const std::string& text) {
        stream_ << text;
        stream_.close();
        std::error_code error;
        if (stream_.fail()) {
            std::filesystem::remove(temporary_, error);
            return false;
        }
        std::filesystem::rename(temporary_, path_, error);
        return !error;
    }

  private:
    std::string path_;
    std::string temporary_;
    std::ofstream stream_;
};

}  // namespace

int runReadCommand(const Options& options) {
    PrinterSession session;
    int code = openSession(session, options);
    std::vector<BackupLine> lines;
    if (code == kExitDone) {
        code = readLines(session, options.lines.empty() ? kAllLines : options.lines, lines);
    }
    session.close();
    if (code != kExitDone) {
        return code;
    }
    if (options.json) {
        std::fputs(backupToJson(backupOf(options, lines)).c_str(), stdout);
    } else {
        for (const BackupLine& entry : lines) {
            printLine(entry);
        }
    }
    return kExitDone;
}

int runBackupCommand(const Options& options) {
    OutputFile output(options.output);
    if (!options.output.empty() && !output.open()) {
        reportError(options.output + ": cannot be written");
        return kExitUsage;
    }
    std::vector<BackupLine> lines;
    if (const int code = readAllLines(options, lines); code != kExitDone) {
        return code;
    }
    const std::string document = backupToJson(backupOf(options, lines));
    if (options.output.empty()) {
        std::fputs(document.c_str(), stdout);
        return kExitDone;
    }
    if (!output.commit(document)) {
        reportError(options.output + ": cannot be written");
        return kExitUsage;
    }
    note("the six lines are saved in " + options.output);
    return kExitDone;
}

int runDiffCommand(const Options& options) {
    const LoadedBackup loaded = loadBackup(options.file);
    if (!loaded.error.empty()) {
        reportError(loaded.error);
        return kExitUsage;
    }
    std::vector<BackupLine> lines;
    if (const int code = readAllLines(options, lines); code != kExitDone) {
        return code;
    }
    int differences = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineContent& printer = lines[i].content;
        const LineContent& file = loaded.backup.lines[i].content;
        if (printer == file) {
            continue;
        }
        ++differences;
        std::printf("line %d: printer %s %s\n", lines[i].line, describeFont(printer.font).c_str(),
                    quotedText(printer.text).c_str());
        std::printf("line %d: file    %s %s\n", lines[i].line, describeFont(file.font).c_str(),
                    quotedText(file.text).c_str());
    }
    note(differences == 0 ? "the printer holds what the file holds"
                          : std::to_string(differences) + " of 6 lines differ");
    return differences == 0 ? kExitDone : kExitDifferent;
}

}  // namespace kv31cli
