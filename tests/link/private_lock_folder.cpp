#include "private_lock_folder.h"

#include <dirent.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "link/testing/link_testing.h"
#include "link/uucp_lock.h"

namespace quillet::test {

namespace {

class PrivateLockFolder : public ::testing::Environment {
  public:
    void SetUp() override { setUucpLockFolder(privateLockFolder()); }
    void TearDown() override {
        const std::string& folder = privateLockFolder();
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name.rfind("LCK..", 0) == 0) {
                    ::unlink((folder + "/" + name).c_str());
                }
            }
            ::closedir(dir);
        }
        ::rmdir(folder.c_str());
        setUucpLockFolder("");
    }
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new PrivateLockFolder);

}  // namespace

const std::string& privateLockFolder() {
    static const std::string folder = [] {
        char name[] = "/tmp/quillet-locks-XXXXXX";
        const char* made = ::mkdtemp(name);
        // Without one, no lock file is written at all.
        return std::string(made != nullptr ? made : "/nonexistent/quillet-test-locks");
    }();
    return folder;
}

}  // namespace quillet::test
