#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "link/uucp_lock.h"

#ifndef QUILLET_LOCK_FOLDER
#define QUILLET_LOCK_FOLDER "/run/lock"
#endif

namespace quillet {

namespace {

struct LockFolder {
    std::mutex mutex;
    std::string path = QUILLET_LOCK_FOLDER;
};

LockFolder& lockFolder() {
    static LockFolder folder;
    return folder;
}

std::string lockFolderPath() {
    LockFolder& folder = lockFolder();
    const std::lock_guard<std::mutex> hold(folder.mutex);
    return folder.path;
}

enum class Owner { Alive, Gone, Unknown };

// The PID a lock file names: ten ASCII characters, right-aligned, and a newline; some
// old programs write it as a binary int of four bytes. 0 when it names none that can be
// read, -1 when there is no such file.
pid_t lockOwner(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? -1 : 0;
    }
    char text[64] = {};
    const ssize_t count = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (count <= 0) {
        return 0;
    }
    const char* first = text;
    const char* last = text + count;
    while (first < last && *first == ' ') {
        ++first;
    }
    int pid = 0;
    const auto [end, error] = std::from_chars(first, last, pid);
    const bool ascii = error == std::errc() && end != first && (end == last || *end == '\n');
    if (!ascii && count == sizeof(int)) {
        std::memcpy(&pid, text, sizeof pid);
    } else if (!ascii) {
        pid = 0;
    }
    return pid > 0 ? pid : 0;
}

// Only a PID whose process is provably gone makes a lock stale; an unreadable lock is
// someone's, as other serial programs take it.
Owner ownerOf(const std::string& path) {
    const pid_t pid = lockOwner(path);
    if (pid < 0) {
        return Owner::Gone;  // removed meanwhile
    }
    if (pid == 0) {
        return Owner::Unknown;
    }
    if (pid == ::getpid()) {
        return Owner::Gone;  // left by an earlier process of the same number
    }
    return ::kill(pid, 0) == 0 || errno != ESRCH ? Owner::Alive : Owner::Gone;
}

bool writeOwnPid(int fd) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
    return length == 11 && ::fchmod(fd, 0644) == 0 && ::write(fd, text, 11) == 11;
}

}  // namespace

std::string uucpLockName(std::string_view devicePath) {
    constexpr std::string_view kDev = "/dev/";
    if (devicePath.substr(0, kDev.size()) == kDev) {
        devicePath.remove_prefix(kDev.size());
    }
    while (!devicePath.empty() && devicePath.front() == '/') {
        devicePath.remove_prefix(1);
    }
    std::string name = "LCK..";
    for (char c : devicePath) {
        name += c == '/' ? '_' : c;
    }
    return name;
}

UucpLock::Result UucpLock::takeFile(const std::string& path) {
    // Twice at most: a stale lock is removed and the creation tried again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const bool written = writeOwnPid(fd);
            ::close(fd);
            if (!written) {
                ::unlink(path.c_str());
                return Result::NoLockFolder;
            }
            paths_.push_back(path);
            return Result::Taken;
        }
        if (errno != EEXIST) {
            return Result::NoLockFolder;
        }
        if (ownerOf(path) != Owner::Gone) {
            return Result::HeldElsewhere;
        }
        ::unlink(path.c_str());
    }
    return Result::HeldElsewhere;
}

// A device reached through a link (a udev name, say) is locked under the name of the
// device it leads to as well, the name other programs use for it.
UucpLock::Result UucpLock::take(std::string_view devicePath) {
    release();
    std::vector<std::string> names = {uucpLockName(devicePath)};
    if (char* real = ::realpath(std::string(devicePath).c_str(), nullptr)) {
        const std::string realName = uucpLockName(real);
        std::free(real);
        if (realName != names.front()) {
            names.push_back(realName);
        }
    }
    const std::string folder = lockFolderPath() + "/";
    Result result = Result::NoLockFolder;
    for (const std::string& name : names) {
        const Result one = takeFile(folder + name);
        if (one == Result::HeldElsewhere) {
            release();
            return one;
        }
        result = one == Result::Taken ? one : result;
    }
    return result;
}

void UucpLock::release() {
    for (const std::string& path : paths_) {
        if (lockOwner(path) == ::getpid()) {
            ::unlink(path.c_str());
        }
    }
    paths_.clear();
}

void setUucpLockFolder(std::string_view folder) {
    LockFolder& state = lockFolder();
    const std::lock_guard<std::mutex> hold(state.mutex);
    state.path = folder.empty() ? std::string(QUILLET_LOCK_FOLDER) : std::string(folder);
}

}  // namespace quillet
