// kv31.exe as a script runs it, against the emulator behind COM1 and behind COM12 (a port
// numbered 10 or above opens only as \\.\COM12): a backup, a restore that puts a changed
// line back and verifies it, a diff that finds them the same, and mode 1 left behind each
// time. Given --kv31=PATH; skipped without it.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/win32/emulator_client.h"
#include "tests/win32/win32_test_support.h"

namespace quillet::wine {
namespace {

struct Kv31Run {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

std::string tempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path(folder);
    path += name;
    return path;
}

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

HANDLE inheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// kv31.exe with its output in files, as a console program under a script.
Kv31Run runKv31(const std::vector<std::string>& args) {
    std::string commandLine = "\"";
    commandLine += testOption("--kv31=");
    commandLine += '"';
    for (const std::string& arg : args) {
        commandLine += " \"";
        commandLine += arg;
        commandLine += '"';
    }
    const std::string outPath = tempPath("kv31-out.txt");
    const std::string errPath = tempPath("kv31-err.txt");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = inheritableFile(outPath);
    startup.hStdError = inheritableFile(errPath);
    PROCESS_INFORMATION process{};
    Kv31Run run;
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 1);
        }
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    run.out = fileText(outPath);
    run.err = fileText(errPath);
    return run;
}

class Kv31Console : public EmulatorTest {
  protected:
    void SetUp() override {
        if (testOption("--kv31=").empty()) {
            GTEST_SKIP() << "no --kv31=PATH";
        }
        EmulatorTest::SetUp();
    }
};

TEST_F(Kv31Console, ReadsRestoresAndVerifiesOnCom1AndOnCom12) {
    const std::string backup = tempPath("kv31-backup.json");
    for (const char* port : {"COM1", "COM12"}) {
        SCOPED_TRACE(port);
        ASSERT_TRUE(emulator().reset());
        ASSERT_TRUE(emulator().setLine(3, 3, "    Centred on three"));

        Kv31Run run = runKv31({"-p", port, "backup", "-o", backup});
        ASSERT_EQ(run.exitCode, 0u) << run.err;
        EXPECT_NE(fileText(backup).find("    Centred on three"), std::string::npos);
        EXPECT_EQ(emulator().mode(), '1') << "mode 1 before the port closes";

        ASSERT_TRUE(emulator().setLine(3, 1, "Changed since"));
        run = runKv31({"-p", port, "restore", backup});
        ASSERT_EQ(run.exitCode, 0u) << run.err;
        std::array<PrinterLine, 6> lines{};
        ASSERT_TRUE(emulator().lines(lines));
        EXPECT_EQ(lines[2].printerFont, 3);
        EXPECT_EQ(lines[2].text, "    Centred on three");
        EXPECT_EQ(emulator().mode(), '1');

        run = runKv31({"-p", port, "diff", backup});
        EXPECT_EQ(run.exitCode, 0u) << run.out << run.err;
    }
    DeleteFileA(backup.c_str());
}

// Wine lists its ports in SERIALCOMM, as Windows does; busy is unknown without an open.
TEST_F(Kv31Console, PortsListsCom1AndCom12WithoutOpeningThem) {
    const Kv31Run run = runKv31({"ports", "--json"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("\"name\": \"COM1\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"name\": \"COM12\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"device\": \"\\\\\\\\.\\\\COM12\""), std::string::npos) << run.out;
    EXPECT_EQ(emulator().holders(), 0);
    EXPECT_TRUE(emulator().received().empty());
}

TEST_F(Kv31Console, APortWithNoDeviceBehindItFailsWithItsExitCode) {
    const Kv31Run run = runKv31({"-p", "COM2", "read"});
    EXPECT_EQ(run.exitCode, 4u) << run.out << run.err;
    EXPECT_TRUE(run.out.empty());
}

}  // namespace
}  // namespace quillet::wine
