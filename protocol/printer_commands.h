#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quillet {

// Byte strings sent to the printer, each in one write. The header write command
// is composed by composeHeaderWrite (header_write.h).
// The digit stands apart from the escape, which would otherwise take it as a hex digit.
// clang-format off
inline constexpr std::string_view kMode5Command{"\x1bM\x1b" "5\n", 5};
inline constexpr std::string_view kMode1Command{"\x1bM\x1b" "1\n", 5};
// clang-format on
inline constexpr std::string_view kFeedCommand{"\n\n\n\n\n\n", 6};

// ESC "H" ESC n LF, n the digit of line 1 to 6.
std::array<char, 5> printHeaderCommand(int line);

// "RH" n LF, n the digit of line 1 to 6.
std::array<char, 4> headerQueryCommand(int line);

// The maker's six default lines, as complete header write commands for lines 1 to 6.
extern const std::array<std::string_view, 6> kDefaultHeaderSet;

}  // namespace quillet
