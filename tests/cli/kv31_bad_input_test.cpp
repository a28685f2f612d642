// Every malformed or unexpected input: its exit code, a one-line message that names what
// is wrong and where, and nothing sent to the printer.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "kv31_test_support.h"

namespace kv31test {
namespace {

using namespace std::chrono_literals;

struct BadInput {
    const char* name;
    std::vector<std::string> arguments;  // PORT and FILE stand for the printer and the file
    std::string file;                    // the file's text; none when empty
    int code;
    std::string message;    // a part of the one line on stderr
    bool portHeld = false;  // another program holds the port as Quillet and kv31 do (flock)
};

std::vector<std::string> withEntry(std::size_t index, const std::string& entry) {
    std::vector<std::string> entries = defaultEntries();
    entries[index] = entry;
    return entries;
}

// The maker's lines cut to count, or with line 6 again up to count.
std::vector<std::string> entriesCount(std::size_t count) {
    std::vector<std::string> entries = defaultEntries();
    entries.resize(count, entries.back());
    return entries;
}

std::vector<std::string> writing(const std::string& line, const std::string& font,
                                 const std::string& text) {
    return {"-p", "PORT", "write", line, "--font", font, text};
}

const std::vector<std::string> kRestore = {"-p", "PORT", "restore", "FILE"};

const BadInput kBadInputs[] = {
    {"UnknownOption", {"-p", "PORT", "read", "--colour"}, "", 2, "unknown option '--colour'"},
    {"NoPort",
     {"restore", "--dry-run", "FILE"},
     backupDocument(defaultEntries()),
     2,
     "restore needs a port: -p PORT"},
    {"LineOutside1To6", writing("7", "1", "x"), "", 2, "line '7' is not a line number 1 to 6"},
    {"UnknownFont", writing("3", "Comic 12", "x"), "", 2, "unknown font 'Comic 12'"},
    {"TextTooWide", writing("3", "Arial 20", "WIDE WORDS ON LINE THREE"), "", 3,
     "kv31: line 3: 446 dots in \"Arial 20\", 380 fit: the first 20 characters fit\n"},
    {"TextTooLong", writing("3", "1", std::string(33, 'i')), "", 3,
     "line 3: 33 characters, 32 fit"},
    {"UnprintableCharacter", writing("2", "1", "tab\there"), "", 3,
     "line 2: character 4 is byte 9"},
    {"MissingFile",
     {"-p", "PORT", "restore", "/nonexistent/backup.json"},
     "",
     2,
     "/nonexistent/backup.json: cannot be read"},
    {"InvalidJson", kRestore, "{\n  \"format\": \"kv31-header-backup\",\n  \"lines\": [\n", 2,
     "not valid JSON at line 4"},
    {"WrongFormat", kRestore, backupDocument(defaultEntries(), 1, "kv30-backup"), 2,
     "format: \"kv30-backup\""},
    {"WrongVersion", kRestore, backupDocument(defaultEntries(), 2), 2, "version: 2"},
    {"FiveLines", kRestore, backupDocument(entriesCount(5)), 2,
     "lines: 5 entries, a backup holds 6"},
    {"SevenLines", kRestore, backupDocument(entriesCount(7)), 2, "lines: 7 entries"},
    {"Line7InTheFile", kRestore,
     backupDocument(withEntry(5, R"({"line": 7, "font": 3, "text": "x"})")), 2,
     "backup.json:10: lines[5].line: 7 is outside 1 to 6"},
    {"ALineTwice", kRestore, backupDocument(withEntry(5, R"({"line": 2, "font": 3, "text": "x"})")),
     2, "lines[5].line: line 2 comes twice"},
    {"UnknownFontInTheFile", kRestore,
     backupDocument(withEntry(0, R"({"line": 1, "font": 8, "text": "x"})")), 2,
     "backup.json:5: lines[0].font: 8 is no printer font (1 to 7)"},
    {"CharacterAboveAByte", kRestore,
     backupDocument(withEntry(3, R"({"line": 4, "font": 2, "text": "5 \u20ac"})")), 2,
     "lines[3].text: character 3 is U+20AC"},
    {"FileTextTooWide", kRestore,
     backupDocument(withEntry(2, R"({"line": 3, "font": 4, "text": "WIDE WORDS ON LINE THREE"})")),
     3, "line 3: 446 dots in \"Arial 20\""},
    {"ControlByteInTheFile", kRestore,
     backupDocument(withEntry(1, R"({"line": 2, "font": 2, "text": "a\u001bM"})")), 3,
     "line 2: character 2 is byte 27"},
    {"BackupFileThatCannotBeWritten",
     {"-p", "PORT", "backup", "-o", "/nonexistent/b.json"},
     "",
     2,
     "/nonexistent/b.json: cannot be written"},
    {"PortThatDoesNotExist",
     {"-p", "/dev/kv31-no-such-port", "read"},
     "",
     4,
     "/dev/kv31-no-such-port: cannot be opened"},
    {"PortHeldByAnotherProgram", {"-p", "PORT", "read"}, "", 5, "held by another program", true},
};

void PrintTo(const BadInput& input, std::ostream* out) {
    *out << input.name;
}

class BadInputTest : public Kv31Test, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BadInputTest, IsRefusedWithItsCodeAndNothingSent) {
    const BadInput& input = GetParam();
    const std::string file = input.file.empty() ? "" : writeFile("backup.json", input.file);
    std::vector<std::string> arguments = input.arguments;
    std::replace(arguments.begin(), arguments.end(), std::string("PORT"), port);
    std::replace(arguments.begin(), arguments.end(), std::string("FILE"), file);
    const int held = input.portHeld ? ::open(port.c_str(), O_RDWR | O_NOCTTY) : -1;
    if (input.portHeld) {
        ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    }

    const Kv31Result result = run(arguments);
    if (held >= 0) {
        ::close(held);
    }

    EXPECT_EQ(result.code, input.code) << result.err;
    EXPECT_NE(result.err.find(input.message), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.out, "");
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(emulator.receivedCount(), 0u) << emulator.received();
}

INSTANTIATE_TEST_SUITE_P(Kv31, BadInputTest, ::testing::ValuesIn(kBadInputs),
                         [](const ::testing::TestParamInfo<BadInput>& info) {
                             return std::string(info.param.name);
                         });

// check, and any command with --dry-run, opens no port and shows the bytes with ESC and LF
// readable. AB in "Arial 14" is 27 dots; centred, it gets 19 spaces.
TEST_F(Kv31Test, CheckAndDryRunShowTheBytesAndSendNothing) {
    const std::string centredAB = ",2,\"" + std::string(19, ' ') + "AB\"<LF>\n";
    const Kv31Result check = run({"check", "--font", "2", "--align", "center", "AB"});
    EXPECT_EQ(check.code, 0) << check.err;
    EXPECT_NE(check.out.find("width: 27 of 380 dots, 2 characters\n"), std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("bytes: H1" + centredAB), std::string::npos) << check.out;

    const Kv31Result write = run(
        {"-p", port, "write", "3", "--font", "Arial 14", "--align", "center", "--dry-run", "AB"});
    EXPECT_EQ(write.code, 0) << write.err;
    EXPECT_EQ(write.out, "H3" + centredAB);

    const Kv31Result defaults = run({"defaults", "--dry-run"});
    EXPECT_EQ(defaults.code, 0) << defaults.err;
    EXPECT_EQ(defaults.out.find("H1,4,\"  Brellic Technology\"<LF>\nH2,2,"), 0u) << defaults.out;

    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(emulator.receivedCount(), 0u);
}

}  // namespace
}  // namespace kv31test
