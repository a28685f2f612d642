// Runs the Windows link tests under Wine against the KV-31 emulator on a
// pseudo-terminal, which Wine's COM1 leads to; COM2 leads to a device that is absent.
//
//   quillet_wine_runner --wine W --wineserver S --exe T.exe --work-dir D [--xvfb X]
//                       [--build-dir B --cmake C] [--timeout SECONDS] [-- test arguments]
//
// With --build-dir, the Windows build in B is brought up to date first (the target named
// after the program); when B has not been configured, the run is skipped (exit 77), or
// fails when QUILLET_WINE_TESTS_REQUIRED is set. The time limit counts from after that
// build. With --xvfb, the program's windows go to a private X server started from X.
// With --shots DIR, the program may ask for pictures of its windows, saved in DIR.
// With --requires F, the run is skipped (or fails, as above) while the file F is missing:
// a package that cpack makes, say.
//
// For a real Windows machine whose COM1 is cabled (null modem) to this one:
//
//   quillet_wine_runner --serve-device /dev/ttyUSB0 --listen 0.0.0.0:4031
//
// serves the emulator on that device until the test program, started there with
// --kv31-control=THIS_HOST:4031, has finished.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tests/win32/child_process.h"
#include "tests/win32/control_codec.h"
#include "tests/win32/emulator_service.h"
#include "tests/win32/virtual_display.h"
#include "tests/win32/window_capture.h"
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
    std::string serveDevice;
    std::string listen = "127.0.0.1:0";
    std::string xvfb;
    std::string requiredFile;
    std::string shots;
    int timeoutSeconds = 180;
    std::vector<std::string> testArgs;
};

int fail(const std::string& why) {
    std::cerr << "wine-runner: " << why << "\n";
    return 1;
}

bool setOption(Options& options, const std::string& name, const std::string& value) {
    std::string* const fields[] = {&options.tools.wine,  &options.tools.wineserver,
                                   &options.exe,         &options.workDir,
                                   &options.buildDir,    &options.cmake,
                                   &options.serveDevice, &options.listen,
                                   &options.xvfb,        &options.requiredFile,
                                   &options.shots};
    const char* const names[] = {"--wine",      "--wineserver", "--exe",          "--work-dir",
                                 "--build-dir", "--cmake",      "--serve-device", "--listen",
                                 "--xvfb",      "--requires",   "--shots"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        if (name == names[i]) {
            *fields[i] = value;
            return true;
        }
    }
    if (name == "--timeout") {
        options.timeoutSeconds = std::atoi(value.c_str());
        return true;
    }
    return false;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            options.testArgs.assign(argv + i + 1, argv + argc);
            break;
        }
        if (i + 1 >= argc || !setOption(options, arg, argv[++i])) {
            return false;
        }
    }
    if (options.timeoutSeconds <= 0) {
        return false;
    }
    return !options.serveDevice.empty() ||
           (!options.tools.wine.empty() && !options.tools.wineserver.empty() &&
            !options.exe.empty() && !options.workDir.empty());
}

// 0 when the test program is up to date, kSkipped when its build is not configured.
int freshenTestProgram(const Options& options) {
    if (options.buildDir.empty()) {
        return 0;
    }
    if (!fs::exists(fs::path(options.buildDir) / "CMakeCache.txt")) {
        std::cerr << "wine-runner: " << options.buildDir
                  << " is not configured; run: cmake --preset "
                  << fs::path(options.buildDir).filename().string() << "\n";
        return std::getenv("QUILLET_WINE_TESTS_REQUIRED") ? 1 : kSkipped;
    }
    const std::string target = fs::path(options.exe).stem().string();
    const int status = quillet::wine::runChild(
        {options.cmake, "--build", options.buildDir, "--target", target}, Clock::time_point::max());
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
    char buffer[4096];
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    if (n > 0) {
        std::cerr << "wine-runner: the end of " << log << ":\n";
        std::cerr.write(buffer, static_cast<std::streamsize>(n)) << "\n";
    }
}

bool splitAddress(const std::string& hostPort, std::string& host, int& port) {
    const std::size_t colon = hostPort.rfind(':');
    if (colon == std::string::npos) {
        return false;
    }
    host = hostPort.substr(0, colon);
    port = std::atoi(hostPort.c_str() + colon + 1);
    return port >= 0 && port < 65536;
}

int serveDevice(const Options& options, Clock::time_point deadline) {
    quillet::wine::EmulatorService service({{}, {}, options.serveDevice, {}});
    std::string host;
    int port = 0;
    std::string error;
    if (!splitAddress(options.listen, host, port)) {
        return fail("--listen wants ADDRESS:PORT");
    }
    if (!service.start(error) || !service.listen(host, port, error)) {
        return fail(error);
    }
    std::cout << "wine-runner: the emulator serves " << options.serveDevice
              << "; start the test program with --kv31-control=<this host>:" << service.port()
              << std::endl;
    while (!service.clientLeft() && Clock::now() < deadline) {
        service.serveFor(std::chrono::milliseconds(200));
    }
    return service.clientLeft() ? 0 : fail("no test program came and went in time");
}

// "capture NAME TITLE": the window titled TITLE (hex) saved as NAME.png in the shots folder.
std::optional<std::string> captureRequest(const fs::path& shots,
                                          const std::vector<std::string>& words) {
    if (words.size() != 3 || words[0] != "capture") {
        return std::nullopt;
    }
    const std::optional<std::string> title = quillet::wine::fromHex(words[2]);
    if (!title ||
        words[1].find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") != std::string::npos) {
        return "error bad capture request";
    }
    const fs::path png = shots / (words[1] + ".png");
    const std::string error = quillet::wine::captureWindow(*title, png);
    return error.empty() ? "ok " + png.string() : "error " + error;
}

int runUnderWine(const Options& options, Clock::time_point deadline) {
    const bool withWindows = !options.xvfb.empty();
    quillet::wine::WineSession session(options.tools, options.workDir, withWindows);
    quillet::wine::VirtualDisplay display;
    quillet::wine::ServiceSetup setup{
        session.com1Link(),
        [&session](const std::string& path) { return session.checkMapping(path); },
        {},
        {}};
    if (!options.shots.empty()) {
        std::error_code ec;
        fs::create_directories(options.shots, ec);
        setup.extra = [shots = fs::absolute(options.shots)](const std::vector<std::string>& words) {
            return captureRequest(shots, words);
        };
    }
    quillet::wine::EmulatorService service(std::move(setup));
    std::string error;
    if (!session.preparePrefix(deadline, error)) {
        return fail(error);
    }
    if (withWindows) {
        // Before the emulator's thread starts: the environment changes here.
        if (!display.start(options.xvfb, session.logFd(), deadline, error)) {
            return fail(error);
        }
        session.setDisplay(display.name());
    }
    if (!service.start(error) || !service.listen("127.0.0.1", 0, error)) {
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
            return fail("the Windows tests did not end in time");
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
                     "--work-dir D [--xvfb X] [--build-dir B --cmake C] [--timeout SECONDS] "
                     "[-- args]\n"
                     "       quillet_wine_runner --serve-device PATH [--listen ADDRESS:PORT] "
                     "[--timeout SECONDS]\n";
        return 2;
    }
    const auto limit = std::chrono::seconds(options.timeoutSeconds);
    if (!options.serveDevice.empty()) {
        return serveDevice(options, Clock::now() + limit);
    }
    if (const int fresh = freshenTestProgram(options); fresh != 0) {
        return fresh;
    }
    if (!fs::exists(options.exe)) {
        return fail(options.exe + " is missing");
    }
    if (!options.requiredFile.empty() && !fs::exists(options.requiredFile)) {
        std::cerr << "wine-runner: " << options.requiredFile << " is missing\n";
        return std::getenv("QUILLET_WINE_TESTS_REQUIRED") ? 1 : kSkipped;
    }
    return runUnderWine(options, Clock::now() + limit);
}
