// Runs the Windows link tests under Wine against the KV-31 emulator on a
// pseudo-terminal, which Wine's COM1 leads to; COM2 leads to a device that is absent.
//
//   quillet_wine_runner --wine W --wineserver S --exe T.exe --work-dir D
//                       [--build-dir B --cmake C] [--timeout SECONDS] [-- test arguments]
//
// With --build-dir, the Windows build in B is brought up to date first; when B has not
// been configured, the run is skipped (exit 77), or fails when
// QUILLET_WINE_TESTS_REQUIRED is set.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tests/win32/child_process.h"
#include "tests/win32/emulator_service.h"
#include "tests/win32/wine_session.h"

namespace {

namespace fs = std::filesystem;
using quillet::wine::Clock;

constexpr int kSkipped = 77;

struct Options {
    quillet::wine::WineTools tools;
    std::string exe;
    std::string workDir;
    std::string buildDir;
    std::string cmake = "cmake";
    int timeoutSeconds = 240;
    std::vector<std::string> testArgs;
};

int fail(const std::string& why) {
    std::cerr << "wine-runner: " << why << "\n";
    return 1;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            options.testArgs.assign(argv + i + 1, argv + argc);
            break;
        }
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        if (arg == "--wine") {
            options.tools.wine = value;
        } else if (arg == "--wineserver") {
            options.tools.wineserver = value;
        } else if (arg == "--exe") {
            options.exe = value;
        } else if (arg == "--work-dir") {
            options.workDir = value;
        } else if (arg == "--build-dir") {
            options.buildDir = value;
        } else if (arg == "--cmake") {
            options.cmake = value;
        } else if (arg == "--timeout") {
            options.timeoutSeconds = std::atoi(value.c_str());
        } else {
            return false;
        }
    }
    return !options.tools.wine.empty() && !options.tools.wineserver.empty() &&
           !options.exe.empty() && !options.workDir.empty() && options.timeoutSeconds > 0;
}

// 0 when the test program is up to date, kSkipped when its build is not configured.
int freshenTestProgram(const Options& options, Clock::time_point deadline) {
    if (options.buildDir.empty()) {
        return 0;
    }
    if (!fs::exists(fs::path(options.buildDir) / "CMakeCache.txt")) {
        std::cerr << "wine-runner: " << options.buildDir
                  << " is not configured; run: cmake --preset mingw-tests\n";
        return std::getenv("QUILLET_WINE_TESTS_REQUIRED") ? 1 : kSkipped;
    }
    const int status = quillet::wine::runChild(
        {options.cmake, "--build", options.buildDir, "--target", "quillet_win32_link_tests"},
        deadline);
    return status == 0 ? 0 : fail("the Windows test program does not build");
}

void printLogTail(const fs::path& log) {
    std::FILE* file = std::fopen(log.c_str(), "r");
    if (file == nullptr) {
        return;
    }
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, size > 4000 ? size - 4000 : 0, SEEK_SET);
    std::cerr << "wine-runner: the end of " << log << ":\n";
    char buffer[4096];
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
    std::cerr.write(buffer, static_cast<std::streamsize>(n)) << "\n";
    std::fclose(file);
}

int runTests(const Options& options, Clock::time_point deadline) {
    quillet::wine::WineSession session(options.tools, options.workDir);
    quillet::wine::EmulatorService service(
        session.com1Link(), [&session](const std::string& path) { return session.checkMapping(path); });
    std::string error;
    if (!session.preparePrefix(deadline, error) || !service.start(error) ||
        !service.listen(error)) {
        return fail(error);
    }
    // Nothing under Wine may open a port before this holds.
    if (std::string wrong = session.checkMapping(service.devicePath()); !wrong.empty()) {
        return fail("refusing to run: " + wrong);
    }
    if (!session.startServer(deadline, error)) {
        return fail(error);
    }
    std::vector<std::string> args{options.exe,
                                  "--kv31-control=127.0.0.1:" + std::to_string(service.port())};
    args.insert(args.end(), options.testArgs.begin(), options.testArgs.end());
    const pid_t program = session.startProgram(args);
    if (program < 0) {
        return fail("cannot start " + options.tools.wine);
    }
    int status = 0;
    while (!quillet::wine::childEnded(program, status)) {
        if (Clock::now() >= deadline) {
            session.stopServer();
            quillet::wine::waitChild(program, Clock::now() + std::chrono::seconds(5));
            printLogTail(session.logPath());
            return fail("the Windows tests did not end within " +
                        std::to_string(options.timeoutSeconds) + " s");
        }
        service.serveFor(std::chrono::milliseconds(50));
    }
    service.stop();
    session.stopServer();
    if (status != 0) {
        printLogTail(session.logPath());
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: quillet_wine_runner --wine W --wineserver S --exe T.exe "
                     "--work-dir D [--build-dir B --cmake C] [--timeout SECONDS] [-- args]\n";
        return 2;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    if (const int fresh = freshenTestProgram(options, deadline); fresh != 0) {
        return fresh;
    }
    if (!fs::exists(options.exe)) {
        return fail(options.exe + " is missing");
    }
    return runTests(options, deadline);
}
