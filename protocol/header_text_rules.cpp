#include "protocol/header_text_rules.h"

#include <algorithm>
#include <array>

#include "protocol/printer_font.h"

namespace quillet {
namespace {

bool isPrintable(unsigned char c) {
    return c >= kFirstPrintable && c <= kLastPrintable;
}

}  // namespace

int measuringFont(int fontListPosition) {
    return fontListPosition >= 0 ? fontListPosition : kFontWhenNoneSelected;
}

TextFault findTextFault(std::string_view text, std::string_view accepted, int font) {
    if (text == accepted) {
        return TextFault::None;
    }
    const std::size_t maxChars = std::max(kMaxHeaderChars, accepted.size());
    const int maxWidth = std::max(kLineWidthDots, printedWidth(font, accepted));
    std::array<int, 256> tolerated{};
    for (unsigned char c : accepted) {
        tolerated[c] += isPrintable(c) ? 0 : 1;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!isPrintable(c) && tolerated[c]-- <= 0) {
            return TextFault::Unprintable;
        }
        if (i >= maxChars || printedWidth(font, text.substr(0, i + 1)) > maxWidth) {
            return TextFault::TooLong;
        }
    }
    return TextFault::None;
}

std::optional<LineCut> lineCut(int font, std::string_view text) {
    if (fitLength(font, text) >= text.size()) {
        return std::nullopt;
    }
    // The fewer spaces in front, the wider the rest: the fewest that may go is found by halves.
    std::size_t first = 0;
    std::size_t last = std::min(text.find_first_not_of(' '), text.size());
    while (first < last) {
        const std::size_t middle = first + (last - first) / 2;
        if (printedWidth(font, text.substr(middle)) <= kLineWidthDots) {
            last = middle;
        } else {
            first = middle + 1;
        }
    }
    return LineCut{first, fitLength(font, text.substr(first))};
}

}  // namespace quillet
