#include "protocol/printer_font.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quillet {

namespace {

using WidthRow = std::array<unsigned char, kLastPrintable - kFirstPrintable + 1>;

constexpr WidthRow uniformWidths(unsigned char width) {
    WidthRow row{};
    row.fill(width);
    return row;
}

constexpr WidthRow courierWidths() {
    WidthRow row = uniformWidths(16);
    row['L' - kFirstPrintable] = 15;
    return row;
}

}  // namespace

constexpr std::array<PrinterFont, kFontCount> kPrinterFonts = {{
    {"Arial Narrow 14",
     1,
     1,
     {
         6,  2,  4,  8,  8,  11, 11, 2,  5,  4, 5, 10, 2, 4,  2,  4,   // 32 to 47
         8,  5,  8,  8,  8,  8,  8,  8,  8,  8, 2, 2,  8, 8,  8,  7,   // 48 to 63
         15, 11, 9,  10, 10, 9,  9,  11, 10, 2, 7, 10, 8, 12, 10, 11,  // 64 to 79
         9,  11, 11, 9,  9,  10, 11, 14, 10, 9, 9, 4,  4, 3,  7,  9,   // 80 to 95
         3,  8,  8,  7,  8,  8,  5,  8,  8,  2, 2, 7,  2, 12, 8,  8,   // 96 to 111
         8,  8,  5,  7,  3,  8,  7,  11, 7,  7, 7, 5,  2, 5,  8,       // 112 to 126
     }},
    {"Arial 14",
     2,
     1,
     {
         8,  4,  8,  11, 10, 16, 14, 4,  6,  5,  6,  11, 4,  6,  4,  5,   // 32 to 47
         10, 8,  10, 10, 10, 10, 10, 10, 10, 10, 5,  5,  10, 10, 10, 11,  // 48 to 63
         19, 13, 13, 13, 13, 12, 11, 14, 12, 4,  10, 13, 11, 16, 12, 14,  // 64 to 79
         12, 15, 13, 12, 12, 12, 13, 17, 12, 12, 11, 6,  5,  5,  10, 11,  // 80 to 95
         4,  11, 11, 10, 11, 10, 7,  11, 11, 4,  4,  10, 4,  16, 11, 11,  // 96 to 111
         11, 11, 8,  10, 6,  11, 10, 15, 10, 11, 9,  7,  3,  6,  10,      // 112 to 126
     }},
    {"Arial Narrow 20",
     3,
     2,
     {
         10, 4,  6,  12, 11, 18, 14, 3,  6,  6,  8,  13, 4,  6,  4,  6,   // 32 to 47
         11, 8,  11, 11, 12, 11, 11, 11, 11, 11, 4,  4,  11, 11, 11, 11,  // 48 to 63
         22, 15, 14, 15, 14, 14, 13, 16, 14, 4,  10, 14, 11, 16, 14, 16,  // 64 to 79
         14, 16, 15, 14, 13, 14, 15, 21, 15, 14, 13, 6,  6,  4,  9,  12,  // 80 to 95
         4,  11, 11, 10, 11, 11, 7,  11, 11, 3,  3,  10, 3,  17, 11, 11,  // 96 to 111
         11, 11, 7,  10, 6,  11, 11, 15, 11, 11, 10, 6,  4,  6,  12,      // 112 to 126
     }},
    {"Arial 20",
     4,
     2,
     {
         12, 6,  11, 15, 14, 23, 19, 5,  8,  8,  10, 15, 6,  9,  6,  8,   // 32 to 47
         14, 11, 14, 14, 14, 14, 14, 14, 14, 14, 7,  7,  14, 15, 14, 15,  // 48 to 63
         26, 19, 19, 19, 19, 17, 16, 19, 18, 6,  13, 19, 16, 20, 18, 20,  // 64 to 79
         17, 21, 20, 17, 17, 18, 17, 25, 17, 18, 16, 9,  8,  7,  13, 15,  // 80 to 95
         6,  14, 16, 14, 15, 14, 10, 15, 15, 6,  6,  14, 6,  24, 15, 16,  // 96 to 111
         16, 15, 11, 14, 9,  15, 14, 21, 14, 15, 13, 10, 5,  10, 15,      // 112 to 126
     }},
    {"Courier 20", 5, 2, courierWidths()},
    {"Brellic Default", 6, 1, uniformWidths(14)},
    {"Lucida 16", 7, 1, uniformWidths(14)},
}};

namespace {

// Indexed by font; what a character the printer cannot print is measured as.
constexpr std::array<int, kFontCount> kWidestGlyph = [] {
    std::array<int, kFontCount> widest{};
    for (std::size_t i = 0; i < kFontCount; ++i) {
        widest[i] =
            *std::max_element(kPrinterFonts[i].widths.begin(), kPrinterFonts[i].widths.end());
    }
    return widest;
}();

// An unknown font makes every glyph wider than the line, so nothing in it fits.
constexpr int kUnknownFontGlyph = kLineWidthDots + 1;

bool isKnownFont(int font) {
    return font >= 0 && font < kFontCount;
}

int spacingOf(int font) {
    return isKnownFont(font) ? kPrinterFonts[font].spacing : 0;
}

}  // namespace

int glyphWidth(int font, unsigned char ch) {
    if (!isKnownFont(font)) {
        return kUnknownFontGlyph;
    }
    if (ch < kFirstPrintable || ch > kLastPrintable) {
        return kWidestGlyph[font];
    }
    return kPrinterFonts[font].widths[ch - kFirstPrintable];
}

int printedWidth(int font, std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const std::int64_t spacing = spacingOf(font);
    std::int64_t sum = -spacing;
    for (char ch : text) {
        sum += glyphWidth(font, static_cast<unsigned char>(ch)) + spacing;
    }
    return static_cast<int>(std::min<std::int64_t>(sum, std::numeric_limits<int>::max()));
}

std::size_t fitLength(int font, std::string_view text) {
    const int spacing = spacingOf(font);
    int sum = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        sum += glyphWidth(font, static_cast<unsigned char>(text[i]));
        if (sum > kLineWidthDots) {
            return i;
        }
        sum += spacing;
    }
    return text.size();
}

}  // namespace quillet
