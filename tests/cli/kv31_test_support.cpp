#include "kv31_test_support.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace kv31test {

void Kv31Test::SetUp() {
    emulator.setPacing(false);
    ASSERT_TRUE(emulator.start());
    port = emulator.devicePath();
    char pattern[] = "/tmp/kv31-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
}

void Kv31Test::TearDown() {
    emulator.stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string Kv31Test::writeFile(const std::string& name, const std::string& text) const {
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string backupDocument(const std::vector<std::string>& entries, int version,
                           const std::string& format) {
    std::string lines;
    for (const std::string& entry : entries) {
        lines += (lines.empty() ? "\n    " : ",\n    ") + entry;
    }
    return "{\n  \"format\": \"" + format + "\",\n  \"version\": " + std::to_string(version) +
           ",\n  \"lines\": [" + lines + "\n  ]\n}\n";
}

std::vector<std::string> defaultEntries() {
    return {
        R"({"line": 1, "font": 4, "text": "  Brellic Technology"})",
        R"({"line": 2, "font": 2, "text": "        418 Larkspur Blvd"})",
        R"({"line": 3, "font": 2, "text": "        Springdale, ZZ 00000"})",
        R"({"line": 4, "font": 2, "text": "        TEL: (555) 010-2000"})",
        R"({"line": 5, "font": 2, "text": "        FAX: (555) 010-2001"})",
        R"({"line": 6, "font": 3, "text": "      Measured with Care"})",
    };
}

}  // namespace kv31test
