#include "protocol/printer_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>

namespace quillet {
namespace {

constexpr int kArialNarrow14 = 0;
constexpr int kArial14 = 1;
constexpr int kArialNarrow20 = 2;
constexpr int kArial20 = 3;
constexpr int kCourier20 = 4;
constexpr int kBrellicDefault = 5;
constexpr int kLucida16 = 6;

std::string codesFrom(int first, int last, int step = 1) {
    std::string text;
    for (int code = first; code <= last; code += step) {
        text.push_back(static_cast<char>(code));
    }
    return text;
}

TEST(PrinterFontCatalogue, ListNamesInFontIndexOrder) {
    const char* const names[] = {"Arial Narrow 14", "Arial 14",   "Arial Narrow 20",
                                 "Arial 20",        "Courier 20", "Brellic Default",
                                 "Lucida 16"};
    for (int font = 0; font < kFontCount; ++font) {
        EXPECT_EQ(kPrinterFonts[font].listName, names[font]) << "font " << font;
        EXPECT_EQ(kPrinterFonts[font].printerNumber, font + 1) << "font " << font;
    }
}

// Totals worked out by hand from the printer maker's width rows; a mistyped width
// or two swapped neighbours change at least one of them.
TEST(PrinterFontCatalogue, WholePrintableRangeMeasuresAsTheMakerRows) {
    const std::string all = codesFrom(32, 126);
    EXPECT_EQ(printedWidth(kArialNarrow14, all), 789);
    EXPECT_EQ(printedWidth(kArial14, all), 1027);
    EXPECT_EQ(printedWidth(kArialNarrow20, all), 1189);
    EXPECT_EQ(printedWidth(kArial20, all), 1514);
    EXPECT_EQ(printedWidth(kCourier20, all), 1707);
    EXPECT_EQ(printedWidth(kBrellicDefault, all), 1424);
    EXPECT_EQ(printedWidth(kLucida16, all), 1424);
}

TEST(PrinterFontCatalogue, EachRowOfCodesMeasuresAsTheMakerRows) {
    struct Row {
        int first;
        int last;
        int expected[4];  // the four proportional fonts in index order
    };
    const Row rows[] = {
        {32, 47, {103, 137, 161, 205}},  {48, 63, {127, 164, 190, 239}},
        {64, 79, {169, 215, 252, 314}},  {80, 95, {154, 193, 231, 285}},
        {96, 111, {119, 161, 175, 236}}, {112, 126, {112, 152, 170, 225}},
    };
    for (const Row& row : rows) {
        const std::string text = codesFrom(row.first, row.last);
        for (int font = kArialNarrow14; font <= kArial20; ++font) {
            EXPECT_EQ(printedWidth(font, text), row.expected[font])
                << "codes " << row.first << " to " << row.last << ", font " << font;
        }
    }
}

TEST(PrinterFontCatalogue, EverySecondCodeMeasuresAsTheMakerRows) {
    const std::string even = codesFrom(32, 126, 2);
    const std::string odd = codesFrom(33, 125, 2);
    EXPECT_EQ(printedWidth(kArialNarrow14, even), 387);
    EXPECT_EQ(printedWidth(kArial14, even), 501);
    EXPECT_EQ(printedWidth(kArialNarrow20, even), 584);
    EXPECT_EQ(printedWidth(kArial20, even), 741);
    EXPECT_EQ(printedWidth(kArialNarrow14, odd), 401);
    EXPECT_EQ(printedWidth(kArial14, odd), 525);
    EXPECT_EQ(printedWidth(kArialNarrow20, odd), 603);
    EXPECT_EQ(printedWidth(kArial20, odd), 771);
}

TEST(PrintedWidth, EmptyTwoLettersAndSpacing) {
    for (int font = 0; font < kFontCount; ++font) {
        EXPECT_EQ(printedWidth(font, ""), 0) << "font " << font;
        EXPECT_EQ(fitLength(font, ""), 0u) << "font " << font;
    }
    EXPECT_EQ(printedWidth(kArial14, "AB"), 27);
    EXPECT_EQ(printedWidth(kArial14, "A"), 13);
    EXPECT_EQ(printedWidth(kArial14, " "), 8);
}

TEST(FitLength, CourierCapitalLIsNarrower) {
    const std::string a21(21, 'A');
    const std::string a22(22, 'A');
    const std::string l22(22, 'L');
    EXPECT_EQ(printedWidth(kCourier20, a21), 376);
    EXPECT_EQ(printedWidth(kCourier20, a22), 394);
    EXPECT_EQ(printedWidth(kCourier20, l22), 372);
    EXPECT_EQ(fitLength(kCourier20, a22), 21u);
    EXPECT_EQ(fitLength(kCourier20, l22), 22u);
    EXPECT_EQ(fitLength(kCourier20, l22 + "L"), 22u);  // 23 L: 389
}

TEST(FitLength, FixedFontsTakeTwentyFiveCharacters) {
    for (int font : {kBrellicDefault, kLucida16}) {
        EXPECT_EQ(printedWidth(font, std::string(25, 'x')), 374);
        EXPECT_EQ(printedWidth(font, std::string(26, 'x')), 389);
        EXPECT_EQ(fitLength(font, std::string(40, 'x')), 25u);
    }
}

TEST(FitLength, ExactlyTheLineFits) {
    // "!" is 2 dots in Arial Narrow 14: 127 of them with 126 gaps make 380.
    const std::string bangs(127, '!');
    EXPECT_EQ(printedWidth(kArialNarrow14, bangs), 380);
    EXPECT_EQ(fitLength(kArialNarrow14, bangs), 127u);
    EXPECT_EQ(fitLength(kArialNarrow14, bangs + "!"), 127u);
    // Courier: 8 of 16 dots and 14 L of 15 dots with 21 gaps of 2.
    const std::string mixed = std::string(8, 'A') + std::string(14, 'L');
    EXPECT_EQ(printedWidth(kCourier20, mixed), 380);
    EXPECT_EQ(fitLength(kCourier20, mixed + "L"), 22u);
}

// Texts read back from the printer are not screened, so any byte can be measured.
TEST(GlyphWidth, UnprintableBytesMeasureAsTheWidestGlyph) {
    const int widest[kFontCount] = {15, 19, 22, 26, 16, 14, 14};
    for (int font = 0; font < kFontCount; ++font) {
        int widestPrintable = 0;
        for (int code = kFirstPrintable; code <= kLastPrintable; ++code) {
            widestPrintable =
                std::max(widestPrintable, glyphWidth(font, static_cast<unsigned char>(code)));
        }
        EXPECT_EQ(widestPrintable, widest[font]) << "font " << font;
        for (int code : {0, 9, 10, 13, 27, 31, 127, 128, 200, 255}) {
            EXPECT_EQ(glyphWidth(font, static_cast<unsigned char>(code)), widest[font])
                << "font " << font << ", code " << code;
        }
    }
}

TEST(PrintedWidth, UnprintableBytesInTextsAndSignedChars) {
    // A tab, DEL and 0xFF between printable letters, the last one as a negative char.
    const std::string text = std::string("A") + '\t' + "B" + '\x7f' + static_cast<char>(-1);
    EXPECT_EQ(printedWidth(kArial14, text), 13 + 19 + 13 + 19 + 19 + 4 * 1);
    EXPECT_EQ(printedWidth(kArial20, std::string(1, static_cast<char>(-128))), 26);
    EXPECT_EQ(printedWidth(kCourier20, std::string(3, '\0')), 3 * 16 + 2 * 2);

    // Widest glyphs that fit: floor((380 + spacing) / (widest + spacing)).
    const std::string high(60, static_cast<char>(0xFF));
    const std::size_t fitting[kFontCount] = {23, 19, 15, 13, 21, 25, 25};
    for (int font = 0; font < kFontCount; ++font) {
        EXPECT_EQ(fitLength(font, high), fitting[font]) << "font " << font;
    }
}

TEST(FontIndex, UnknownFontsFitNothing) {
    for (int font : {-1, kFontCount, 1000}) {
        EXPECT_EQ(printedWidth(font, ""), 0);
        EXPECT_GT(printedWidth(font, "A"), kLineWidthDots);
        EXPECT_EQ(fitLength(font, "ABC"), 0u);
        EXPECT_GT(glyphWidth(font, 'A'), kLineWidthDots);
    }
}

std::string randomText(std::mt19937& random, bool printableOnly) {
    std::uniform_int_distribution<int> length(0, 200);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> printable(kFirstPrintable, kLastPrintable);
    std::string text(static_cast<std::size_t>(length(random)), ' ');
    for (char& ch : text) {
        ch = static_cast<char>(printableOnly ? printable(random) : anyByte(random));
    }
    return text;
}

TEST(FitLength, AgreesWithPrintedWidthOnManyTexts) {
    std::mt19937 random(20260108);
    for (int round = 0; round < 2000; ++round) {
        const int font = round % kFontCount;
        const std::string text = randomText(random, round % 3 != 0);
        const std::string_view view = text;
        const std::size_t fit = fitLength(font, view);
        ASSERT_LE(fit, text.size());
        EXPECT_LE(printedWidth(font, view.substr(0, fit)), kLineWidthDots);
        if (fit < text.size()) {
            EXPECT_GT(printedWidth(font, view.substr(0, fit + 1)), kLineWidthDots);
        } else {
            EXPECT_LE(printedWidth(font, view), kLineWidthDots);
        }
        // Widths add up with one spacing at the join.
        if (text.size() >= 2) {
            const std::size_t cut = text.size() / 2;
            EXPECT_EQ(printedWidth(font, view), printedWidth(font, view.substr(0, cut)) +
                                                    kPrinterFonts[font].spacing +
                                                    printedWidth(font, view.substr(cut)));
        }
    }
}

}  // namespace
}  // namespace quillet
