#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator/kv31_emulator.h"
#include "kv31_process.h"

namespace kv31test {

inline const std::string kMode1{
    "\x1bM\x1b"
    "1\n"};
inline const std::string kMode5{
    "\x1bM\x1b"
    "5\n"};

// An unpaced emulated printer on a pseudo-terminal and a folder for files; kv31 runs as a
// program of its own against them.
class Kv31Test : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    Kv31Result run(const std::vector<std::string>& arguments) const {
        return runKv31(arguments, folder);
    }
    // Writes a file in the folder; its path.
    std::string writeFile(const std::string& name, const std::string& text) const;

    kv31::Emulator emulator;
    std::string port;
    std::string folder;
};

// A backup document whose "lines" hold the given entries, each a JSON object's text.
std::string backupDocument(const std::vector<std::string>& entries, int version = 1,
                           const std::string& format = "kv31-header-backup");

// The maker's six lines as backup entries.
std::vector<std::string> defaultEntries();

}  // namespace kv31test
