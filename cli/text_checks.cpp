#include "cli/text_checks.h"

#include <algorithm>
#include <cstdio>

#include "protocol/header_record.h"
#include "protocol/header_text_rules.h"
#include "protocol/printer_font.h"

namespace kv31cli {

namespace {

// Line 0: a text checked for no line in particular.
std::string linePrefix(int line) {
    return line == 0 ? std::string() : "line " + std::to_string(line) + ": ";
}

std::string quotedFontName(int font) {
    return "\"" + std::string(quillet::kPrinterFonts[font].listName) + "\"";
}

// line 3: 412 dots in "Arial 20", 380 fit: the first 27 characters fit
std::string tooWide(int line, int font, std::string_view text) {
    const std::size_t fit = quillet::fitLength(font, text);
    return linePrefix(line) + std::to_string(quillet::printedWidth(font, text)) + " dots in " +
           quotedFontName(font) + ", " + std::to_string(quillet::kLineWidthDots) +
           " fit: the first " + std::to_string(fit) +
           (fit == 1 ? " character fits" : " characters fit");
}

std::string badByte(int line, std::string_view text, std::size_t at, const char* rule) {
    char code[8];
    std::snprintf(code, sizeof code, "%u",
                  static_cast<unsigned>(static_cast<unsigned char>(text[at])));
    return linePrefix(line) + "character " + std::to_string(at + 1) + " is byte " + code +
           ", which " + rule;
}

std::size_t firstByteOutside(std::string_view text, unsigned low, unsigned high) {
    const auto found = std::find_if(text.begin(), text.end(), [&](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < low || byte > high;
    });
    return static_cast<std::size_t>(found - text.begin());
}

}  // namespace

std::string writeTextProblem(int line, int font, std::string_view text) {
    switch (quillet::findTextFault(text, {}, font)) {
        case quillet::TextFault::None:
            return {};
        case quillet::TextFault::Unprintable:
            return badByte(
                line, text,
                firstByteOutside(text, quillet::kFirstPrintable, quillet::kLastPrintable),
                "a header line cannot hold: only characters 32 to 126 print");
        case quillet::TextFault::TooLong:
            break;
    }
    if (quillet::printedWidth(font, text) > quillet::kLineWidthDots) {
        return tooWide(line, font, text);
    }
    return linePrefix(line) + std::to_string(text.size()) + " characters, " +
           std::to_string(quillet::kMaxHeaderChars) + " fit";
}

std::string storedTextProblem(int line, int font, std::string_view text) {
    if (const std::size_t at = firstByteOutside(text, quillet::kFirstPrintable, 255);
        at < text.size()) {
        return badByte(line, text, at, "is a control byte and cannot be sent in a header write");
    }
    constexpr std::size_t kMostBytes = quillet::kHeaderTextCapacity - 1;
    if (text.size() > kMostBytes) {
        return linePrefix(line) + std::to_string(text.size()) + " characters, " +
               std::to_string(kMostBytes) + " fit";
    }
    if (quillet::printedWidth(font, text) > quillet::kLineWidthDots) {
        return tooWide(line, font, text);
    }
    return {};
}

}  // namespace kv31cli
