#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "protocol/printer_font.h"

namespace kv31cli {

namespace {

// Options, as bits, so that each command can say which it takes.
enum Option : unsigned {
    kPort = 1u << 0,
    kFont = 1u << 1,
    kAlign = 1u << 2,
    kOutput = 1u << 3,
    kJson = 1u << 4,
    kDryRun = 1u << 5,
    kForce = 1u << 6,
    kVerbose = 1u << 7,
    kTrace = 1u << 8,
};

struct OptionName {
    std::string_view longName;
    std::string_view shortName;
    Option option;
    bool takesValue;
};

constexpr OptionName kOptionNames[] = {
    {"--port", "-p", kPort, true},  {"--font", "", kFont, true},
    {"--align", "", kAlign, true},  {"--output", "-o", kOutput, true},
    {"--json", "", kJson, false},   {"--dry-run", "", kDryRun, false},
    {"--force", "", kForce, false}, {"--verbose", "-v", kVerbose, false},
    {"--trace", "", kTrace, false},
};

// Every command takes -v and --trace.
constexpr unsigned kAlways = kVerbose | kTrace;

struct CommandShape {
    std::string_view name;
    Command command;
    unsigned options;   // those it takes
    unsigned required;  // those it cannot do without (the port: unless --dry-run)
    std::size_t minArgs;
    std::size_t maxArgs;         // SIZE_MAX: any number
    std::string_view arguments;  // for the usage error
};

constexpr std::size_t kAny = static_cast<std::size_t>(-1);

constexpr CommandShape kCommands[] = {
    {"ports", Command::Ports, kJson, 0, 0, 0, ""},
    {"read", Command::Read, kPort | kJson, kPort, 0, kAny, "[LINE...]"},
    {"write", Command::Write, kPort | kFont | kAlign | kDryRun, kPort | kFont, 2, 2,
     "LINE --font FONT [--align left|center|right] TEXT"},
    {"backup", Command::Backup, kPort | kOutput, kPort, 0, 0, "[-o FILE]"},
    {"restore", Command::Restore, kPort | kDryRun | kForce, kPort, 1, 1, "FILE [--force]"},
    {"diff", Command::Diff, kPort, kPort, 1, 1, "FILE"},
    {"defaults", Command::Defaults, kPort | kDryRun, kPort, 0, 0, ""},
    {"test-page", Command::TestPage, kPort, kPort, 0, 0, ""},
    {"check", Command::Check, kFont | kAlign | kJson, kFont, 1, 1, "--font FONT [--align A] TEXT"},
};

struct RawCommandLine {
    std::vector<std::string> positional;
    unsigned given = 0;
    std::string port, font, align, output;
    bool help = false;
    bool version = false;
};

const OptionName* findOption(std::string_view name) {
    for (const OptionName& entry : kOptionNames) {
        if (name == entry.longName || (!entry.shortName.empty() && name == entry.shortName)) {
            return &entry;
        }
    }
    return nullptr;
}

std::string* valueSlot(RawCommandLine& raw, Option option) {
    switch (option) {
        case kPort:
            return &raw.port;
        case kFont:
            return &raw.font;
        case kAlign:
            return &raw.align;
        case kOutput:
            return &raw.output;
        default:
            return nullptr;
    }
}

// Splits the arguments into options and positional arguments; "--" ends the options, so
// that a text may begin with a dash.
std::string splitArguments(const std::vector<std::string>& arguments, RawCommandLine& raw) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            raw.positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h" || argument == "--help") {
            raw.help = true;
            continue;
        }
        if (argument == "--version") {
            raw.version = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const OptionName* option =
            argument.starts_with("--") || equals == std::string::npos ? findOption(name) : nullptr;
        if (option == nullptr) {
            return "unknown option '" + argument + "'";
        }
        if (raw.given & option->option) {
            return "option '" + std::string(option->longName) + "' given twice";
        }
        raw.given |= option->option;
        if (!option->takesValue) {
            if (equals != std::string::npos) {
                return "option '" + std::string(option->longName) + "' takes no value";
            }
            continue;
        }
        if (equals != std::string::npos) {
            *valueSlot(raw, option->option) = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            *valueSlot(raw, option->option) = arguments[++i];
        } else {
            return "option '" + std::string(option->longName) + "' needs a value";
        }
    }
    return {};
}

std::optional<int> lineNumber(const std::string& argument) {
    if (argument.size() != 1 || argument[0] < '1' || argument[0] > '6') {
        return std::nullopt;
    }
    return argument[0] - '0';
}

std::optional<quillet::Alignment> alignmentFromArgument(std::string_view argument) {
    if (argument == "left") {
        return quillet::Alignment::Left;
    }
    if (argument == "center" || argument == "centre") {
        return quillet::Alignment::Center;
    }
    if (argument == "right") {
        return quillet::Alignment::Right;
    }
    return std::nullopt;
}

std::string optionName(unsigned option) {
    for (const OptionName& entry : kOptionNames) {
        if (entry.option == option) {
            return std::string(entry.longName);
        }
    }
    return {};
}

std::string checkOptionsFit(const CommandShape& shape, const RawCommandLine& raw) {
    for (const OptionName& entry : kOptionNames) {
        const unsigned bit = entry.option;
        if ((raw.given & bit) && !((shape.options | kAlways) & bit)) {
            return std::string(shape.name) + " takes no option '" + std::string(entry.longName) +
                   "'";
        }
        // A dry run of write or defaults needs no printer; one of restore reads it.
        const bool portOptional =
            bit == kPort && (raw.given & kDryRun) && shape.command != Command::Restore;
        if ((shape.required & bit) && !(raw.given & bit) && !portOptional) {
            std::string error = std::string(shape.name) + " needs ";
            error += bit == kPort ? std::string("a port: -p PORT (kv31 ports lists them)")
                                  : std::string("option ").append(optionName(bit));
            return error;
        }
    }
    const std::size_t count = raw.positional.size() - 1;
    if (count < shape.minArgs || count > shape.maxArgs) {
        return "usage: kv31 " + std::string(shape.name) + " " + std::string(shape.arguments);
    }
    return {};
}

std::string fillCommandArguments(const RawCommandLine& raw, Options& options) {
    const std::vector<std::string> args(raw.positional.begin() + 1, raw.positional.end());
    switch (options.command) {
        case Command::Read:
            for (const std::string& arg : args) {
                const std::optional<int> line = lineNumber(arg);
                if (!line) {
                    return "line '" + arg + "' is not a line number 1 to 6";
                }
                options.lines.push_back(*line);
            }
            return {};
        case Command::Write: {
            const std::optional<int> line = lineNumber(args[0]);
            if (!line) {
                return "line '" + args[0] + "' is not a line number 1 to 6";
            }
            options.line = *line;
            options.text = args[1];
            return {};
        }
        case Command::Check:
            options.text = args[0];
            return {};
        case Command::Restore:
        case Command::Diff:
            options.file = args[0];
            return {};
        default:
            return {};
    }
}

std::string fillOptionValues(const RawCommandLine& raw, Options& options) {
    options.port = raw.port;
    options.output = raw.output;
    options.json = raw.given & kJson;
    options.dryRun = raw.given & kDryRun;
    options.force = raw.given & kForce;
    options.verbose = raw.given & kVerbose;
    options.trace = raw.given & kTrace;
    if ((raw.given & kPort) && raw.port.empty()) {
        return "the port name is empty";
    }
    if ((raw.given & kOutput) && raw.output.empty()) {
        return "the output file name is empty";
    }
    if (raw.given & kFont) {
        options.font = fontFromArgument(raw.font);
        if (options.font < 0) {
            return "unknown font '" + raw.font +
                   "': a font is named \"Arial 14\" or numbered 1 to 7";
        }
    }
    if (raw.given & kAlign) {
        const std::optional<quillet::Alignment> alignment = alignmentFromArgument(raw.align);
        if (!alignment) {
            return "unknown alignment '" + raw.align + "': left, center or right";
        }
        options.alignment = *alignment;
    }
    return {};
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

int fontFromArgument(const std::string& argument) {
    if (argument.size() == 1 && argument[0] >= '1' &&
        argument[0] < '1' + static_cast<char>(quillet::kFontCount)) {
        return argument[0] - '1';
    }
    for (const quillet::PrinterFont& font : quillet::kPrinterFonts) {
        if (sameIgnoringCase(argument, font.listName)) {
            return font.printerNumber - 1;
        }
    }
    return -1;
}

ParseResult parseArguments(const std::vector<std::string>& arguments) {
    ParseResult result;
    RawCommandLine raw;
    if (std::string error = splitArguments(arguments, raw); !error.empty()) {
        result.error = std::move(error);
        return result;
    }
    if (raw.help || raw.version) {
        result.options.command = raw.help ? Command::Help : Command::Version;
        return result;
    }
    if (raw.positional.empty()) {
        result.error = "no command given (kv31 --help lists them)";
        return result;
    }
    const auto shape =
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const CommandShape& s) { return s.name == raw.positional[0]; });
    if (shape == std::end(kCommands)) {
        result.error = "unknown command '" + raw.positional[0] + "' (kv31 --help lists them)";
        return result;
    }
    result.options.command = shape->command;
    std::string error = checkOptionsFit(*shape, raw);
    if (error.empty()) {
        error = fillOptionValues(raw, result.options);
    }
    if (error.empty()) {
        error = fillCommandArguments(raw, result.options);
    }
    result.error = std::move(error);
    return result;
}

const char* usageText() {
    return R"(Usage: kv31 [-v] [--trace] COMMAND ...

  kv31 ports [--json]                             the serial ports here
  kv31 -p PORT read [LINE...] [--json]            the header lines, as the printer holds them
  kv31 -p PORT write LINE --font FONT [--align left|center|right] [--dry-run] TEXT
  kv31 -p PORT backup [-o FILE]                   the six lines as a JSON document
  kv31 -p PORT restore FILE [--force] [--dry-run] writes the lines that differ, then verifies
  kv31 -p PORT diff FILE                          printer against file; writes nothing
  kv31 -p PORT defaults [--dry-run]               the maker's six lines, then read back
  kv31 -p PORT test-page                          prints the six lines
  kv31 check --font FONT [--align A] [--json] TEXT   offline: width, what fits, the bytes

FONT is a name ("Arial 14") or the printer's number 1 to 7. LINE is 1 to 6.
-v: progress and steps on stderr also off a terminal; --trace: every byte sent and received.
Exit codes: 0 done (diff: the same), 2 usage or bad file, 3 text or file rejected,
4 port cannot be opened, 5 port held by another program, 6 no or invalid answer,
8 a write read back different, 9 diff found a difference, 130 interrupted.
)";
}

}  // namespace kv31cli
