#pragma once

#include <string>
#include <vector>

#include "cli/printer_session.h"

// The backup file: a JSON document of the printer's six header lines.
namespace kv31cli {

inline constexpr const char* kBackupFormat = "kv31-header-backup";
inline constexpr int kBackupVersion = 1;

struct BackupLine {
    int line = 0;  // 1 to 6
    LineContent content;
};

struct Backup {
    std::string time;  // UTC, ISO 8601
    std::string port;
    std::vector<BackupLine> lines;  // backup: six, lines 1 to 6 in order
};

// The document, two-space indented, ending in a line feed. A text keeps every byte: a
// byte outside 32 to 126 is written \u00XX (the code point of the same number).
std::string backupToJson(const Backup& backup);

struct LoadedBackup {
    Backup backup;      // lines 1 to 6 in order, when error is empty
    std::string error;  // names the file and what is wrong where: "f.json: lines[2].font: ..."
};

// Reads and checks the shape of a backup file: format, version, six lines each once,
// fonts 1 to 7, texts of bytes. The texts are not checked against the line here.
LoadedBackup loadBackup(const std::string& path);

// The time now, as a backup records it.
std::string currentUtcTime();

}  // namespace kv31cli
