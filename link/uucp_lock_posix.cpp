#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "link/testing/link_testing.h"
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

constexpr int kNoLockFile = -1;
constexpr int kNotALock = -2;

// Anyone may write the lock folder: only a regular file is a lock, and it is opened so
// that nothing under its name can block us, lead elsewhere or become our terminal.
// Gives the open file, kNoLockFile, or kNotALock for anything else (it counts as held).
int openLockFile(const std::string& path) {
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
        return errno == ENOENT ? kNoLockFile : kNotALock;
    }
    if (!S_ISREG(entry.st_mode)) {
        return kNotALock;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? kNoLockFile : kNotALock;
    }
    if (::fstat(fd, &entry) != 0 || !S_ISREG(entry.st_mode)) {
        ::close(fd);
        return kNotALock;
    }
    return fd;
}

// The PID a lock file names: ten ASCII characters, right-aligned, and a newline; some
// old programs write it as a binary int of four bytes. 0 when it names none that can be read.
pid_t lockOwner(int fd) {
    char text[64] = {};
    const ssize_t count = ::pread(fd, text, sizeof text - 1, 0);
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
Owner ownerOf(int fd) {
    const pid_t pid = lockOwner(fd);
    if (pid == 0) {
        return Owner::Unknown;
    }
    if (pid == ::getpid()) {
        return Owner::Gone;  // left by an earlier process of the same number
    }
    return ::kill(pid, 0) == 0 || errno != ESRCH ? Owner::Alive : Owner::Gone;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool writeOwnPid(int fd) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
    return length == 11 && ::fchmod(fd, 0644) == 0 && ::write(fd, text, 11) == 11;
}

// A lock file written whole before it gets its name, so nobody ever reads half of it.
// Its name holds our PID, so an old one of that name is an earlier process's.
bool makeTemporaryLock(const std::string& path, struct stat& made) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST && attempt == 0 && ::unlink(path.c_str()) == 0) {
                continue;
            }
            return false;
        }
        const bool written = writeOwnPid(fd) && ::fstat(fd, &made) == 0;
        ::close(fd);
        if (!written) {
            ::unlink(path.c_str());
        }
        return written;
    }
    return false;
}

enum class Takeover { Taken, Changed, Held, Unreplaceable };

// A stale lock is replaced by ours in one rename, under an flock on the stale file:
// of the programs that found it stale, one gets the flock; the others see it held, or
// find that the name leads to another file by now and look again.
Takeover takeOver(int staleFd, const std::string& temporary, const std::string& path) {
    if (::flock(staleFd, LOCK_EX | LOCK_NB) != 0) {
        return Takeover::Held;
    }
    struct stat stale {};
    struct stat named {};
    if (::fstat(staleFd, &stale) != 0 || ::lstat(path.c_str(), &named) != 0 ||
        !sameFile(stale, named)) {
        return Takeover::Changed;
    }
    if (ownerOf(staleFd) != Owner::Gone) {
        return Takeover::Held;
    }
    if (::rename(temporary.c_str(), path.c_str()) == 0) {
        return Takeover::Taken;
    }
    // In a sticky folder, as /run/lock is, another user's file cannot be replaced. Its
    // process is gone all the same, so it holds nothing.
    return errno == EPERM || errno == EACCES ? Takeover::Unreplaceable : Takeover::Held;
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

// The lock is our temporary file, linked to the lock's name: link makes the name or
// fails when it is there, in one step.
UucpLock::Result UucpLock::takeFile(const std::string& folder, const std::string& name) {
    const std::string temporary = folder + "LTMP." + std::to_string(::getpid());
    const std::string path = folder + name;
    struct stat ours {};
    if (!makeTemporaryLock(temporary, ours)) {
        return Result::NoLockFile;
    }
    Result result = Result::HeldElsewhere;
    // A few rounds at most: each needs another program to change the name meanwhile.
    for (int round = 0; round < 3; ++round) {
        if (::link(temporary.c_str(), path.c_str()) == 0) {
            result = Result::Taken;
            break;
        }
        if (errno != EEXIST) {
            result = Result::NoLockFile;
            break;
        }
        const int fd = openLockFile(path);
        if (fd == kNoLockFile) {
            continue;  // released meanwhile
        }
        if (fd == kNotALock) {
            break;
        }
        const Takeover takeover =
            ownerOf(fd) == Owner::Gone ? takeOver(fd, temporary, path) : Takeover::Held;
        ::close(fd);
        if (takeover == Takeover::Taken) {
            result = Result::Taken;
        } else if (takeover == Takeover::Unreplaceable) {
            result = Result::NoLockFile;
        }
        if (takeover != Takeover::Changed) {
            break;
        }
    }
    ::unlink(temporary.c_str());  // after a rename there is no such name left
    if (result == Result::Taken) {
        held_.push_back({path, ours.st_dev, ours.st_ino});
    }
    return result;
}

// A device reached through a link (a udev name, say) is locked under the name of the
// device it leads to as well, the name other programs use for it.
namespace {

// The lock's names: the path's, and the real device's when the path is a link.
std::vector<std::string> lockNames(std::string_view devicePath) {
    std::vector<std::string> names = {uucpLockName(devicePath)};
    if (char* real = ::realpath(std::string(devicePath).c_str(), nullptr)) {
        const std::string realName = uucpLockName(real);
        std::free(real);
        if (realName != names.front()) {
            names.push_back(realName);
        }
    }
    return names;
}

}  // namespace

bool uucpLockedElsewhere(std::string_view devicePath) {
    const std::string folder = lockFolderPath() + "/";
    for (const std::string& name : lockNames(devicePath)) {
        const int fd = openLockFile(folder + name);
        if (fd == kNotALock) {
            return true;
        }
        if (fd >= 0) {
            const Owner owner = ownerOf(fd);
            ::close(fd);
            if (owner != Owner::Gone) {
                return true;
            }
        }
    }
    return false;
}

UucpLock::Result UucpLock::take(std::string_view devicePath) {
    release();
    const std::vector<std::string> names = lockNames(devicePath);
    const std::string folder = lockFolderPath() + "/";
    Result result = Result::NoLockFile;
    for (const std::string& name : names) {
        const Result one = takeFile(folder, name);
        if (one == Result::HeldElsewhere) {
            release();
            return one;
        }
        result = one == Result::Taken ? one : result;
    }
    return result;
}

// Only the file we made, still naming us: another program's lock is never removed.
void UucpLock::release() {
    for (const HeldFile& file : held_) {
        const int fd = openLockFile(file.path);
        if (fd < 0) {
            continue;
        }
        struct stat now {};
        const bool ours = ::fstat(fd, &now) == 0 && now.st_dev == file.device &&
                          now.st_ino == file.inode && lockOwner(fd) == ::getpid();
        ::close(fd);
        if (ours) {
            ::unlink(file.path.c_str());
        }
    }
    held_.clear();
}

void setUucpLockFolder(std::string_view folder) {
    LockFolder& state = lockFolder();
    const std::lock_guard<std::mutex> hold(state.mutex);
    state.path = folder.empty() ? std::string(QUILLET_LOCK_FOLDER) : std::string(folder);
}

}  // namespace quillet
