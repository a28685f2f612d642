#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "protocol/header_record.h"

namespace quillet {

// What text a header line may hold, over the bytes the printer stores: printable characters
// only (32 to 126), at most 32 of them, and at most 380 dots in the line's font. The header
// editor and kv31 apply the same rules.

inline constexpr std::size_t kMaxHeaderChars = 32;
// How much of the text box each reader takes: what the buffer it reads into holds. The text
// check and the font change read into a header text buffer; Apply reads into a write
// command buffer of the same size, less the command's 8 bytes around the text
// ("H1,1,\"" before it, "\"" and LF after it).
inline constexpr int kTextBufferReadLimit = static_cast<int>(kHeaderTextCapacity);
inline constexpr int kWriteCommandFraming = 8;
inline constexpr int kWriteCommandTextReadLimit = kTextBufferReadLimit - kWriteCommandFraming;
// The font a Font list without a selection is measured in.
inline constexpr int kFontWhenNoneSelected = 5;

enum class TextFault { None, Unprintable, TooLong };

// The font index a Font list position stands for when measuring.
int measuringFont(int fontListPosition);

// What the text check finds in the text box's text, given the accepted text it would
// revert to: the fault of the first character that breaks a rule, or None.
//
// A line read back from the printer may break the rules already (its alignment spaces
// count as characters, its font may be narrower than the one it was written in), and must
// stay editable without a revert that can never succeed. So a text equal to the accepted
// one is taken as it is; the 32 characters and 380 dots stretch to what the accepted text
// takes; and each unprintable character the accepted text holds lets one through.
TextFault findTextFault(std::string_view text, std::string_view accepted, int font);

// How a text that is wider than the line in that font is cut: the characters kept are
// text.substr(first, count). Leading spaces only place the text on the line, so they go
// first, as few as let the rest fit; only a text that does not fit without any of them
// loses characters from its end. Nothing when the whole text fits (an empty text always
// does).
struct LineCut {
    std::size_t first;  // leading spaces dropped
    std::size_t count;  // characters kept after them
    bool operator==(const LineCut&) const = default;
};
std::optional<LineCut> lineCut(int font, std::string_view text);

}  // namespace quillet
