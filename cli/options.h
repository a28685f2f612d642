#pragma once

#include <string>
#include <vector>

#include "protocol/header_record.h"

namespace kv31cli {

enum class Command {
    None,
    Help,
    Version,
    Ports,
    Read,
    Write,
    Backup,
    Restore,
    Diff,
    Defaults,
    TestPage,
    Check
};

// The command line, parsed and checked for its shape; texts and files are checked later.
struct Options {
    Command command = Command::None;
    std::string port;        // -p, --port
    std::vector<int> lines;  // read: the lines asked for, in order; empty: all six
    int line = 0;            // write: 1 to 6
    int font = -1;           // write, check: font index 0 to 6
    quillet::Alignment alignment = quillet::Alignment::Left;
    std::string text;    // write, check
    std::string file;    // restore, diff: the backup to read
    std::string output;  // backup: -o, the file to write; empty: stdout
    bool json = false;
    bool dryRun = false;
    bool force = false;
    bool verbose = false;
    bool trace = false;
};

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is sound
};

ParseResult parseArguments(const std::vector<std::string>& arguments);

// The font index that a font argument names: a list name ("Arial 14", any case) or the
// printer's number 1 to 7; -1 when it names none.
int fontFromArgument(const std::string& argument);

// The usage text of --help.
const char* usageText();

}  // namespace kv31cli
