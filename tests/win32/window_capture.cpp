#include "tests/win32/window_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/win32/child_process.h"

namespace quillet::wine {

namespace fs = std::filesystem;

namespace {

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const fs::path candidate = fs::path(folder) / name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return {};
}

int run(const std::vector<std::string>& argv, const fs::path& output) {
    const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int status = runChild(argv, Clock::now() + std::chrono::seconds(20), fd, -1);
    if (fd >= 0) {
        close(fd);
    }
    return status;
}

// xwininfo -name prints "xwininfo: Window id: 0x600003 "Title"" for an exact title.
std::string windowId(const fs::path& info) {
    std::ifstream file(info);
    std::string line;
    while (std::getline(file, line)) {
        const std::size_t at = line.find("Window id: ");
        if (at != std::string::npos) {
            std::string id = line.substr(at + 11);
            return id.substr(0, id.find(' '));
        }
    }
    return {};
}

}  // namespace

std::string captureWindow(const std::string& title, const fs::path& png) {
    const std::string xwininfo = findProgram("xwininfo");
    const std::string xwd = findProgram("xwd");
    const std::string convert = findProgram("convert");
    if (xwininfo.empty() || xwd.empty() || convert.empty()) {
        return "xwininfo, xwd and convert are needed (x11-utils, x11-apps, imagemagick)";
    }
    const fs::path info = png.string() + ".info";
    const fs::path dump = png.string() + ".xwd";
    const bool found = run({xwininfo, "-name", title}, info) == 0;
    const std::string id = windowId(info);
    std::error_code ec;
    fs::remove(info, ec);
    if (!found || id.empty()) {
        return "no window titled '" + title + "'";
    }
    const bool saved = run({xwd, "-silent", "-id", id, "-out", dump.string()}, "/dev/null") == 0 &&
                       run({convert, dump.string(), png.string()}, "/dev/null") == 0;
    fs::remove(dump, ec);
    return saved ? std::string() : "cannot save window " + id + " as " + png.string();
}

}  // namespace quillet::wine
