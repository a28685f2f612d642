// Every malformed or unexpected input: its exit code, a one-line message that names what
// is wrong and where, and nothing sent to the printer.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
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
    std::string message;  // a part of the one line on stderr
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

std::vector<std::string> withEntry(std::size_t index, const std::string& entry) {
    std::vector<std::string> entries = defaultEntries();
    entries[index] = entry;
    return entries;
}

std::vector<std::string> firstEntries(std::size_t count) {
    std::vector<std::string> entries = defaultEntries();
    entries.resize(count);
    return entries;
}

const std::string kGood = backupDocument(defaultEntries());
const std::vector<std::string> kRestore = {"-p", "PORT", "restore", "FILE"};

const BadInput kBadInputs[] = {
    {"unknown option", {"-p", "PORT", "read", "--colour"}, "", 2, "unknown option '--colour'"},
    {"no port", {"restore", "--dry-run", "FILE"}, kGood, 2, "restore needs a port: -p PORT"},
    {"line outside 1 to 6",
     {"-p", "PORT", "write", "7", "--font", "1", "x"},
     "",
     2,
     "line '7' is not a line number 1 to 6"},
    {"unknown font",
     {"-p", "PORT", "write", "3", "--font", "Comic 12", "x"},
     "",
     2,
     "unknown font 'Comic 12'"},
    {"text too wide",
     {"-p", "PORT", "write", "3", "--font", "Arial 20", "WIDE WORDS ON LINE THREE"},
     "",
     3,
     "kv31: line 3: 446 dots in \"Arial 20\", 380 fit: the first 20 characters fit\n"},
    {"text too long",
     {"-p", "PORT", "write", "3", "--font", "1", std::string(33, 'i')},
     "",
     3,
     "line 3: 33 characters, 32 fit"},
    {"unprintable character",
     {"-p", "PORT", "write", "2", "--font", "1", "tab\there"},
     "",
     3,
     "line 2: character 4 is byte 9"},
    {"missing file",
     {"-p", "PORT", "restore", "/nonexistent/backup.json"},
     "",
     2,
     "/nonexistent/backup.json: cannot be read"},
    {"invalid JSON", kRestore, "{\n  \"format\": \"kv31-header-backup\",\n  \"lines\": [\n", 2,
     "not valid JSON at line 4"},
    {"wrong format", kRestore, backupDocument(defaultEntries(), 1, "kv30-backup"), 2,
     "format: \"kv30-backup\""},
    {"wrong version", kRestore, backupDocument(defaultEntries(), 2), 2, "version: 2"},
    {"five lines", kRestore, backupDocument(firstEntries(5)), 2,
     "lines: 5 entries, a backup holds 6"},
    {"seven lines", kRestore,
     replaced(kGood, "Care\"}", "Care\"},\n    {\"line\": 6, \"font\": 1, \"text\": \"\"}"), 2,
     "lines: 7 entries"},
    {"line 7 in the file", kRestore,
     backupDocument(withEntry(5, R"({"line": 7, "font": 3, "text": "x"})")), 2,
     "backup.json:10: lines[5].line: 7 is outside 1 to 6"},
    {"a line twice", kRestore,
     backupDocument(withEntry(5, R"({"line": 2, "font": 3, "text": "x"})")), 2,
     "lines[5].line: line 2 comes twice"},
    {"unknown font in the file", kRestore,
     backupDocument(withEntry(0, R"({"line": 1, "font": 8, "text": "x"})")), 2,
     "backup.json:5: lines[0].font: 8 is no printer font (1 to 7)"},
    {"character above a byte", kRestore,
     backupDocument(withEntry(3, R"({"line": 4, "font": 2, "text": "5 \u20ac"})")), 2,
     "lines[3].text: character 3 is U+20AC"},
    {"file text too wide", kRestore,
     backupDocument(withEntry(2, R"({"line": 3, "font": 4, "text": "WIDE WORDS ON LINE THREE"})")),
     3, "line 3: 446 dots in \"Arial 20\""},
    {"control byte in the file", kRestore,
     backupDocument(withEntry(1, R"({"line": 2, "font": 2, "text": "a\u001bM"})")), 3,
     "line 2: character 2 is byte 27"},
    {"backup file that cannot be written",
     {"-p", "PORT", "backup", "-o", "/nonexistent/b.json"},
     "",
     2,
     "/nonexistent/b.json: cannot be written"},
    {"port that does not exist",
     {"-p", "/dev/kv31-no-such-port", "read"},
     "",
     4,
     "/dev/kv31-no-such-port: cannot be opened"},
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

    const Kv31Result result = run(arguments);

    EXPECT_EQ(result.code, input.code) << result.err;
    EXPECT_NE(result.err.find(input.message), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.out, "");
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(emulator.receivedCount(), 0u) << emulator.received();
}

INSTANTIATE_TEST_SUITE_P(Kv31, BadInputTest, ::testing::ValuesIn(kBadInputs),
                         [](const ::testing::TestParamInfo<BadInput>& info) {
                             std::string name = info.param.name;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) {
                                     return !std::isalnum(static_cast<unsigned char>(c));
                                 },
                                 '_');
                             return name;
                         });

// Another program holds the port as Quillet and kv31 do (flock): nothing is sent.
TEST_F(Kv31Test, PortHeldByAnotherProgram) {
    const int held = ::open(port.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);

    const Kv31Result result = run({"-p", port, "read"});
    ::close(held);

    EXPECT_EQ(result.code, 5) << result.err;
    EXPECT_NE(result.err.find("held by another program"), std::string::npos) << result.err;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(emulator.receivedCount(), 0u);
}

// --dry-run shows the bytes of the writes, ESC and LF readable, and opens no port.
TEST_F(Kv31Test, DryRunShowsTheBytesAndSendsNothing) {
    const Kv31Result write = run(
        {"-p", port, "write", "3", "--font", "Arial 14", "--align", "center", "--dry-run", "AB"});
    EXPECT_EQ(write.code, 0) << write.err;
    EXPECT_EQ(write.out, "H3,2,\"" + std::string(19, ' ') + "AB\"<LF>\n");

    const Kv31Result defaults = run({"defaults", "--dry-run"});
    EXPECT_EQ(defaults.code, 0) << defaults.err;
    EXPECT_EQ(defaults.out.find("H1,4,\"  Brellic Technology\"<LF>\nH2,2,"), 0u) << defaults.out;

    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(emulator.receivedCount(), 0u);
}

}  // namespace
}  // namespace kv31test
