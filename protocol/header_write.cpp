#include "protocol/header_write.h"

#include <cstdio>

#include "protocol/printer_font.h"

namespace quillet {

namespace {

// Whole space glyphs that fill the room a fitting text leaves on the line.
int spacesToFill(int font, int textWidth) {
    const int room = kLineWidthDots - textWidth;
    return room / (glyphWidth(font, ' ') + kPrinterFonts[font].spacing);
}

bool leadingSpaces(Alignment alignment, int fillingSpaces, int& out) {
    switch (alignment) {
        case Alignment::Left:
            out = 0;
            return true;
        case Alignment::Center:
            out = fillingSpaces / 2;
            return true;
        case Alignment::Right:
            out = fillingSpaces;
            return true;
    }
    return false;
}

}  // namespace

bool composeHeaderWrite(int line, int font, Alignment alignment, std::string_view text,
                        std::string& out) {
    out.clear();
    // A line or font the printer does not have, or a text it would cut, is never sent.
    if (line < 1 || line > kHeaderLineCount || font < 0 || font >= kFontCount) {
        return false;
    }
    const int width = printedWidth(font, text);
    if (width > kLineWidthDots) {
        return false;
    }
    int spaces = 0;
    if (!leadingSpaces(alignment, spacesToFill(font, width), spaces)) {
        return false;
    }
    char prefix[32];
    const int prefixLength =
        std::snprintf(prefix, sizeof prefix, "H%d,%d,\"", line, kPrinterFonts[font].printerNumber);
    out.reserve(static_cast<std::size_t>(prefixLength + spaces) + text.size() + 2);
    out.append(prefix, static_cast<std::size_t>(prefixLength));
    out.append(static_cast<std::size_t>(spaces), ' ');
    out.append(text);
    out.append("\"\n");
    return true;
}

}  // namespace quillet
