// Measuring and composing over arbitrary texts, fonts, lines and alignments.
// Input: font byte, alignment byte, line byte, then the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/header_write.h"
#include "protocol/printer_font.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using quillet::Alignment;
using quillet::kLineWidthDots;
using quillet::fuzz::check;

// A little past each end of the valid ranges, so the rejections are fuzzed too.
int smallRange(std::uint8_t byte, int first, int last) {
    return first + byte % (last - first + 1);
}

int widestPrintable(int font) {
    int widest = 0;
    for (int code = quillet::kFirstPrintable; code <= quillet::kLastPrintable; ++code) {
        const int width = quillet::glyphWidth(font, static_cast<unsigned char>(code));
        widest = width > widest ? width : widest;
    }
    return widest;
}

void checkMeasuring(int font, std::string_view text) {
    const int width = quillet::printedWidth(font, text);
    check(width >= 0, "printed width is never negative");
    check(text.empty() == (width == 0), "only an empty text measures 0");

    const std::size_t fit = quillet::fitLength(font, text);
    check(fit <= text.size(), "fitLength is within the text");
    check(quillet::printedWidth(font, text.substr(0, fit)) <= kLineWidthDots,
          "fitLength's prefix fits");
    if (fit < text.size()) {
        check(quillet::printedWidth(font, text.substr(0, fit + 1)) > kLineWidthDots,
              "one more character than fitLength never fits");
    } else {
        check(width <= kLineWidthDots, "a text fitLength keeps whole fits");
    }

    if (font >= 0 && font < quillet::kFontCount) {
        const int widest = widestPrintable(font);
        for (char ch : text) {
            const auto code = static_cast<unsigned char>(ch);
            const int glyph = quillet::glyphWidth(font, code);
            check(glyph > 0 && glyph <= widest, "a glyph is at most the widest printable one");
            if (code < quillet::kFirstPrintable || code > quillet::kLastPrintable) {
                check(glyph == widest, "an unprintable byte measures as the widest glyph");
            }
        }
    }
}

void checkComposing(int line, int font, Alignment alignment, std::string_view text) {
    std::string out = "stale";
    const bool composed = quillet::composeHeaderWrite(line, font, alignment, text, out);
    const int alignmentValue = static_cast<int>(alignment);
    const bool valid = line >= 1 && line <= quillet::kHeaderLineCount && font >= 0 &&
                       font < quillet::kFontCount && alignmentValue >= 0 && alignmentValue <= 2 &&
                       quillet::printedWidth(font, text) <= kLineWidthDots;
    check(composed == valid, "composed exactly for a valid line, font, alignment and text");
    if (!composed) {
        check(out.empty(), "nothing is left in out when composing fails");
        return;
    }

    const std::string prefix = "H" + std::to_string(line) + "," + std::to_string(font + 1) + ",\"";
    check(out.size() >= prefix.size() + 2 && out.compare(0, prefix.size(), prefix) == 0,
          "the command starts H<line>,<printer font number>,\"");
    check(out.compare(out.size() - 2, 2, "\"\n") == 0, "the command ends with a quote and LF");

    const std::string_view quoted =
        std::string_view(out).substr(prefix.size(), out.size() - prefix.size() - 2);
    check(quoted.size() >= text.size() && quoted.substr(quoted.size() - text.size()) == text,
          "the text closes the quoted part");
    const std::size_t spaces = quoted.size() - text.size();
    check(quoted.find_first_not_of(' ') >= spaces, "only spaces come in front of the text");
    check(quillet::printedWidth(font, quoted) <= kLineWidthDots,
          "the quoted text, spaces included, fits");
    if (alignment == Alignment::Left) {
        check(spaces == 0, "Left adds no spaces");
    }
    if (alignment == Alignment::Center) {
        std::string right;
        check(quillet::composeHeaderWrite(line, font, Alignment::Right, text, right),
              "what composes Center composes Right");
        check(spaces == (right.size() - out.size() + spaces) / 2,
              "Center puts half of Right's spaces, rounded down");
    }
    if (alignment == Alignment::Right && !text.empty()) {
        check(quillet::printedWidth(font, " " + std::string(quoted)) > kLineWidthDots,
              "Right leaves no room for one more space");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const int font = smallRange(data[0], -1, quillet::kFontCount);
    const auto alignment = static_cast<Alignment>(smallRange(data[1], -1, 3));
    const int line = smallRange(data[2], 0, quillet::kHeaderLineCount + 1);
    const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);

    checkMeasuring(font, text);
    checkComposing(line, font, alignment, text);
    return 0;
}
