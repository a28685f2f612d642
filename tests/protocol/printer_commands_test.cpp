// Command bytes against the printer's command table, written out by hand.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "protocol/printer_commands.h"

namespace quillet {
namespace {

template <std::size_t N>
std::string bytesOf(const std::array<char, N>& command) {
    return std::string(command.data(), command.size());
}

TEST(PrinterCommands, ModeSwitchesAndFeed) {
    EXPECT_EQ(kMode5Command, std::string_view("\x1b\x4d\x1b\x35\x0a", 5));
    EXPECT_EQ(kMode1Command, std::string_view("\x1b\x4d\x1b\x31\x0a", 5));
    EXPECT_EQ(kFeedCommand, std::string_view("\x0a\x0a\x0a\x0a\x0a\x0a", 6));
}

TEST(PrinterCommands, PrintHeaderForEachLine) {
    const char* expected[6] = {"\x1b\x48\x1b\x31\x0a", "\x1b\x48\x1b\x32\x0a",
                               "\x1b\x48\x1b\x33\x0a", "\x1b\x48\x1b\x34\x0a",
                               "\x1b\x48\x1b\x35\x0a", "\x1b\x48\x1b\x36\x0a"};
    for (int line = 1; line <= 6; ++line) {
        EXPECT_EQ(bytesOf(printHeaderCommand(line)), std::string(expected[line - 1], 5))
            << "line " << line;
    }
}

TEST(PrinterCommands, HeaderQueryForEachLine) {
    const char* expected[6] = {"RH1\n", "RH2\n", "RH3\n", "RH4\n", "RH5\n", "RH6\n"};
    for (int line = 1; line <= 6; ++line) {
        EXPECT_EQ(bytesOf(headerQueryCommand(line)), std::string(expected[line - 1], 4))
            << "line " << line;
    }
}

TEST(PrinterCommands, DefaultHeaderSetByteForByte) {
    const std::string_view expected[6] = {
        "H1,4,\"  Brellic Technology\"\n",         "H2,2,\"        418 Larkspur Blvd\"\n",
        "H3,2,\"        Springdale, ZZ 00000\"\n", "H4,2,\"        TEL: (555) 010-2000\"\n",
        "H5,2,\"        FAX: (555) 010-2001\"\n",  "H6,3,\"      Measured with Care\"\n",
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(kDefaultHeaderSet[i], expected[i]) << "line " << i + 1;
        // One write each: no terminator or stray byte may ride along.
        EXPECT_EQ(kDefaultHeaderSet[i].find('\0'), std::string_view::npos);
    }
}

}  // namespace
}  // namespace quillet
