#pragma once

#include <string>
#include <vector>

// What the program sends the emulated printer and what the user then sees of it, written
// out by hand, for the end-to-end tests of both toolkits.
namespace quillet::traffic {

inline const std::string kMode5 =
    "\x1bM\x1b"
    "5\n";
inline const std::string kMode1 =
    "\x1bM\x1b"
    "1\n";

// "RH<n>" LF for each line from first to last.
inline std::string queries(int first, int last) {
    std::string bytes;
    for (int line = first; line <= last; ++line) {
        bytes += "RH" + std::to_string(line) + "\n";
    }
    return bytes;
}

// The maker's six lines, as Set Defaults writes them.
inline const std::string kDefaultSetBytes =
    "H1,4,\"  Brellic Technology\"\n"
    "H2,2,\"        418 Larkspur Blvd\"\n"
    "H3,2,\"        Springdale, ZZ 00000\"\n"
    "H4,2,\"        TEL: (555) 010-2000\"\n"
    "H5,2,\"        FAX: (555) 010-2001\"\n"
    "H6,3,\"      Measured with Care\"\n";

// The maker's six lines, as the main window lists them.
inline const std::vector<std::string> kDefaultEntries = {
    "Header Message #1          Brellic Technology",
    "Header Message #2          418 Larkspur Blvd",
    "Header Message #3          Springdale, ZZ 00000",
    "Header Message #4          TEL: (555) 010-2000",
    "Header Message #5          FAX: (555) 010-2001",
    "Header Message #6          Measured with Care",
};

}  // namespace quillet::traffic
