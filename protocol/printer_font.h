#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "protocol/header_record.h"

namespace quillet {

inline constexpr int kLineWidthDots = 380;
inline constexpr int kFirstPrintable = 32;
inline constexpr int kLastPrintable = 126;

struct PrinterFont {
    std::string_view listName;  // as the header editor's Font list shows it
    int printerNumber;          // index + 1, used in the header write command
    int spacing;                // dots between neighbouring glyphs
    std::array<unsigned char, kLastPrintable - kFirstPrintable + 1> widths;  // codes 32 to 126
};

// The seven fonts in font-index order.
extern const std::array<PrinterFont, kFontCount> kPrinterFonts;

// Width of one character; codes outside 32 to 126 measure as the font's widest glyph,
// so a text read back unscreened is never measured narrower than it prints. A font
// outside 0 to 6 measures every glyph wider than the line: nothing fits in it.
int glyphWidth(int font, unsigned char ch);

// Sum of glyph widths plus the spacing between neighbours; 0 for an empty text.
int printedWidth(int font, std::string_view text);

// Largest number of leading characters whose printed width is at most 380.
std::size_t fitLength(int font, std::string_view text);

}  // namespace quillet
