#include "tests/win32/wine_session.h"

#include <fcntl.h>
#include <glob.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace quillet::wine {

namespace fs = std::filesystem;

namespace {

// Written once the prefix is complete; a prefix without it was cut short and is remade.
constexpr const char* kMarker = ".quillet-prefix";
constexpr const char* kPortsKey = "HKLM\\Software\\Wine\\Ports";
// Without a window manager, Wine's own frames: a caption for every window, and no wait for
// a manager's answer when a window closes.
constexpr const char* kX11Key = "HKCU\\Software\\Wine\\X11 Driver";
// Debian's fonts-wine: Wine's own fonts, which it does not read from there by itself. The
// dialogs ask for MS Sans Serif; Tahoma is the system's dialog font, Marlett draws the
// caption buttons.
constexpr const char* kFontsDir = "/usr/share/wine/fonts";
constexpr const char* kFonts[] = {"sserife.fon", "tahoma.ttf", "tahomabd.ttf", "marlett.ttf"};
constexpr auto kServerStartTime = std::chrono::seconds(10);
constexpr auto kServerStopTime = std::chrono::seconds(15);

Clock::time_point sooner(Clock::time_point a, Clock::time_point b) {
    return a < b ? a : b;
}

bool canConnect(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.size() >= sizeof address.sun_path) {
        return false;
    }
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, socketPath.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool connected =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

// The wineserver listens in a directory named after the prefix's device and inode.
bool serverAnswers(const fs::path& prefix) {
    struct stat info {};
    if (stat(prefix.c_str(), &info) != 0) {
        return false;
    }
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx/socket",
                  static_cast<unsigned long long>(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    const std::string pattern = std::string("/tmp/*wine*/") + name;
    glob_t found{};
    bool answers = false;
    if (glob(pattern.c_str(), 0, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc && !answers; ++i) {
            answers = canConnect(found.gl_pathv[i]);
        }
    }
    globfree(&found);
    return answers;
}

std::string readLink(const fs::path& link) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? std::string() : target.string();
}

bool replaceLink(const fs::path& link, const fs::path& target) {
    std::error_code ec;
    fs::remove(link, ec);
    fs::create_symlink(target, link, ec);
    return !ec;
}

}  // namespace

WineSession::WineSession(WineTools tools, fs::path workDir, bool withWindows)
    : tools_(std::move(tools)),
      workDir_(fs::absolute(workDir).lexically_normal()),
      withWindows_(withWindows),
      prefix_(workDir_ / "prefix") {
    std::error_code ec;
    fs::create_directories(workDir_, ec);
    // Before any thread runs: every Wine process started from here inherits these.
    setenv("WINEPREFIX", prefix_.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    // No Mono or Gecko installers, no desktop menu entries, no window system.
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
}

WineSession::~WineSession() {
    stopServer();
    for (int fd : {logFd_, lockFd_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

int WineSession::runWine(const std::vector<std::string>& args, Clock::time_point deadline) {
    std::vector<std::string> argv{tools_.wine};
    argv.insert(argv.end(), args.begin(), args.end());
    return runChild(argv, deadline, logFd_, logFd_);
}

void WineSession::killServer(Clock::time_point deadline) {
    const Clock::time_point bound = sooner(deadline, Clock::now() + kServerStopTime);
    runChild({tools_.wineserver, "-k"}, bound, logFd_, logFd_);
    runChild({tools_.wineserver, "-w"}, bound, logFd_, logFd_);
}

bool WineSession::registryHasMapping() const {
    std::ifstream file(prefix_ / "system.reg");
    if (!file) {
        return false;
    }
    const std::string com1 = "\"COM1\"=\"" + com1Link().string() + "\"";
    const std::string com2 = "\"COM2\"=\"" + com2Absent().string() + "\"";
    const std::string com12 = "\"COM12\"=\"" + com1Link().string() + "\"";
    bool inPorts = false;
    bool hasCom1 = false;
    bool hasCom2 = false;
    bool hasCom12 = false;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line[0] == '[') {
            inPorts = line.rfind("[Software\\\\Wine\\\\Ports]", 0) == 0;
        } else if (inPorts) {
            hasCom1 = hasCom1 || line == com1;
            hasCom2 = hasCom2 || line == com2;
            hasCom12 = hasCom12 || line == com12;
        }
    }
    return hasCom1 && hasCom2 && hasCom12;
}

bool WineSession::writeMapping(Clock::time_point deadline, std::string& error) {
    // The first Wine command makes the prefix; that takes a while.
    const std::pair<std::string, fs::path> mapping[] = {
        {"COM1", com1Link()}, {"COM2", com2Absent()}, {"COM12", com1Link()}};
    for (const auto& [name, target] : mapping) {
        const int status = runWine(
            {"reg", "add", kPortsKey, "/v", name, "/t", "REG_SZ", "/d", target.string(), "/f"},
            deadline);
        if (status != 0) {
            error = "wine reg add " + name + " failed (" + std::to_string(status) + "); see " +
                    logPath().string();
            return false;
        }
    }
    // The registry is saved, and the port driver reads it again, in the next session.
    killServer(deadline);
    if (!registryHasMapping()) {
        error = "the port mapping is not in " + (prefix_ / "system.reg").string();
        return false;
    }
    return true;
}

bool WineSession::hasWindowSettings() const {
    std::ifstream file(prefix_ / "user.reg");
    bool inKey = false;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line[0] == '[') {
            inKey = line.rfind("[Software\\\\Wine\\\\X11 Driver]", 0) == 0;
        } else if (inKey && line == "\"Managed\"=\"N\"") {
            return true;
        }
    }
    return false;
}

bool WineSession::writeWindowSettings(Clock::time_point deadline, std::string& error) {
    const int status = runWine(
        {"reg", "add", kX11Key, "/v", "Managed", "/t", "REG_SZ", "/d", "N", "/f"}, deadline);
    killServer(deadline);
    if (status != 0 || !hasWindowSettings()) {
        error =
            "cannot set Managed=N under " + std::string(kX11Key) + "; see " + logPath().string();
        return false;
    }
    return true;
}

bool WineSession::copyFonts(std::string& error) const {
    const fs::path fonts = prefix_ / "drive_c" / "windows" / "Fonts";
    std::error_code ec;
    fs::create_directories(fonts, ec);
    for (const char* font : kFonts) {
        const fs::path from = fs::path(kFontsDir) / font;
        if (!fs::exists(fonts / font, ec) &&
            !fs::copy_file(from, fonts / font, fs::copy_options::skip_existing, ec)) {
            error = "cannot copy " + from.string() + " (Debian: fonts-wine)";
            return false;
        }
    }
    return true;
}

// Wine's port driver writes these links at session start from the registry; writing
// them first means that even a program that ran before the driver finds our targets.
void WineSession::linkDosDevices() const {
    std::error_code ec;
    fs::create_directories(prefix_ / "dosdevices", ec);
    replaceLink(prefix_ / "dosdevices" / "com1", com1Link());
    replaceLink(prefix_ / "dosdevices" / "com2", com2Absent());
    replaceLink(prefix_ / "dosdevices" / "com12", com1Link());
}

bool WineSession::lockWorkDir(Clock::time_point deadline, std::string& error) {
    lockFd_ = open((workDir_ / "lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd_ < 0) {
        error = "cannot lock " + workDir_.string();
        return false;
    }
    while (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        if (Clock::now() >= deadline) {
            error = "another run holds " + workDir_.string();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return true;
}

bool WineSession::preparePrefix(Clock::time_point deadline, std::string& error) {
    // Another run may use the prefix; it is ours only once the lock is.
    if (!lockWorkDir(deadline, error)) {
        return false;
    }
    logFd_ = open(logPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (logFd_ < 0) {
        error = "cannot write " + logPath().string();
        return false;
    }
    killServer(deadline);
    std::error_code ec;
    if (fs::exists(prefix_, ec) && !fs::exists(prefix_ / kMarker, ec)) {
        fs::remove_all(prefix_, ec);
    }
    fs::remove(com2Absent(), ec);
    if (!registryHasMapping() && !writeMapping(deadline, error)) {
        return false;
    }
    if (withWindows_ &&
        ((!hasWindowSettings() && !writeWindowSettings(deadline, error)) || !copyFonts(error))) {
        return false;
    }
    std::ofstream(prefix_ / kMarker) << "Wine prefix of the Win32 link tests\n";
    linkDosDevices();
    return true;
}

std::string WineSession::checkMapping(const std::string& devicePath) const {
    if (!registryHasMapping()) {
        return "the registry does not map COM1, COM2 and COM12 to the runner's paths";
    }
    const fs::path com1 = prefix_ / "dosdevices" / "com1";
    const fs::path com2 = prefix_ / "dosdevices" / "com2";
    if (readLink(com1) != com1Link().string()) {
        return "COM1 leads to '" + readLink(com1) + "', not to " + com1Link().string();
    }
    std::error_code ec;
    const fs::path reached = fs::canonical(com1, ec);
    if (ec || reached != fs::canonical(devicePath, ec) || ec) {
        return "COM1 reaches '" + reached.string() + "', not the emulator's " + devicePath;
    }
    if (readLink(com2) != com2Absent().string() || fs::exists(com2Absent(), ec)) {
        return "COM2 leads to '" + readLink(com2) + "', not to the absent " + com2Absent().string();
    }
    const fs::path com12 = prefix_ / "dosdevices" / "com12";
    if (readLink(com12) != com1Link().string()) {
        return "COM12 leads to '" + readLink(com12) + "', not to " + com1Link().string();
    }
    return {};
}

bool WineSession::startServer(Clock::time_point deadline, std::string& error) {
    server_ = spawnChild({tools_.wineserver, "-f", "-p"}, logFd_, logFd_);
    if (server_ < 0) {
        error = "cannot start " + tools_.wineserver;
        return false;
    }
    const Clock::time_point bound = sooner(deadline, Clock::now() + kServerStartTime);
    while (!serverAnswers(prefix_)) {
        int status = 0;
        if (childEnded(server_, status)) {
            server_ = -1;
            error = "the wineserver ended at once (" + std::to_string(status) + "); see " +
                    logPath().string();
            return false;
        }
        if (Clock::now() >= bound) {
            // Wine's own start-up copes with a server that is still coming up.
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

void WineSession::setDisplay(const std::string& display) {
    setenv("DISPLAY", display.c_str(), 1);
}

pid_t WineSession::startProgram(const std::vector<std::string>& args) {
    std::vector<std::string> argv{tools_.wine};
    argv.insert(argv.end(), args.begin(), args.end());
    return spawnChild(argv, -1, logFd_);
}

void WineSession::stopServer() {
    if (server_ < 0) {
        return;
    }
    const Clock::time_point bound = Clock::now() + kServerStopTime;
    runChild({tools_.wineserver, "-k"}, bound, logFd_, logFd_);
    waitChild(server_, bound);
    server_ = -1;
}

}  // namespace quillet::wine
