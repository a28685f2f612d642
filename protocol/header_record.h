#pragma once

#include <array>
#include <cstddef>

namespace quillet {

// 149 characters and the terminator; leading alignment spaces are part of the text.
inline constexpr std::size_t kHeaderTextCapacity = 150;
inline constexpr int kHeaderLineCount = 6;
inline constexpr int kFontCount = 7;
// What a line whose readback failed holds.
inline constexpr int kFailedFontIndex = 5;

struct HeaderRecord {
    char text[kHeaderTextCapacity] = {};
    int font = kFailedFontIndex;  // 0 to 6; the printer numbers its fonts index + 1
};

// Lines 1 to 6 at positions 0 to 5.
using HeaderTable = std::array<HeaderRecord, kHeaderLineCount>;

// Not stored in the printer: it only decides the leading spaces of a written line.
enum class Alignment : int { Left = 0, Center = 1, Right = 2 };

}  // namespace quillet
