#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

// POSIX only: the UUCP lock files by which serial programs on Linux mark a port as theirs.
namespace quillet {

// "LCK.." and the device path after "/dev/", each "/" turned into "_": LCK..pts_0.
std::string uucpLockName(std::string_view devicePath);

// True when a lock file for the device (or the device a link leads to) names a live
// process, or cannot be read as a lock: what take would refuse. Reads only the folder.
bool uucpLockedElsewhere(std::string_view devicePath);

class UucpLock {
  public:
    enum class Result {
        Taken,          // the lock file is ours until release
        HeldElsewhere,  // it names a live process, or cannot be read as a PID
        NoLockFile      // the folder cannot be written, or a stale lock there cannot be
                        // replaced: go on without a lock file
    };

    UucpLock() = default;
    ~UucpLock() { release(); }
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    // Takes the lock for the device, replacing a stale one whose process is gone.
    Result take(std::string_view devicePath);
    // Removes the lock files we made, where they still name us.
    void release();

  private:
    struct HeldFile {
        std::string path;
        dev_t device;
        ino_t inode;
    };

    Result takeFile(const std::string& folder, const std::string& name);

    std::vector<HeldFile> held_;
};

}  // namespace quillet
