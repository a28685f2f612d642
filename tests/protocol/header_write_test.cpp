#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "protocol/header_write.h"
#include "protocol/printer_font.h"

namespace quillet {
namespace {

constexpr int kArialNarrow14 = 0;
constexpr int kArial14 = 1;
constexpr int kCourier20 = 4;

std::string compose(int line, int font, Alignment alignment, std::string_view text) {
    std::string out = "left over";
    EXPECT_TRUE(composeHeaderWrite(line, font, alignment, text, out))
        << "line " << line << ", font " << font << ", text \"" << text << "\"";
    return out;
}

std::string withPrefix(std::string_view prefix, std::size_t spaces, std::string_view text) {
    return std::string(prefix) + std::string(spaces, ' ') + std::string(text) + "\"\n";
}

TEST(ComposeHeaderWrite, EmptyTextInArial14) {
    EXPECT_EQ(compose(1, kArial14, Alignment::Left, ""), "H1,2,\"\"\n");
    EXPECT_EQ(compose(1, kArial14, Alignment::Center, ""), withPrefix("H1,2,\"", 21, ""));
    EXPECT_EQ(compose(1, kArial14, Alignment::Right, ""), withPrefix("H1,2,\"", 42, ""));
}

TEST(ComposeHeaderWrite, TwoLettersInArial14) {
    EXPECT_EQ(compose(2, kArial14, Alignment::Left, "AB"), "H2,2,\"AB\"\n");
    EXPECT_EQ(compose(2, kArial14, Alignment::Center, "AB"), withPrefix("H2,2,\"", 19, "AB"));
    EXPECT_EQ(compose(2, kArial14, Alignment::Right, "AB"), withPrefix("H2,2,\"", 39, "AB"));
}

TEST(ComposeHeaderWrite, PrefixCarriesLineAndPrinterFontNumber) {
    EXPECT_EQ(compose(3, kCourier20, Alignment::Left, "X"), "H3,5,\"X\"\n");
    for (int line = 1; line <= kHeaderLineCount; ++line) {
        for (int font = 0; font < kFontCount; ++font) {
            const std::string expected =
                "H" + std::to_string(line) + "," + std::to_string(font + 1) + ",\"Quillet\"\n";
            EXPECT_EQ(compose(line, font, Alignment::Left, "Quillet"), expected);
        }
    }
}

TEST(ComposeHeaderWrite, TextOfExactlyTheLineGetsNoSpaces) {
    const std::string bangs(127, '!');  // 380 dots in Arial Narrow 14
    const std::string courier = std::string(8, 'A') + std::string(14, 'L');  // 380 dots
    for (Alignment alignment : {Alignment::Left, Alignment::Center, Alignment::Right}) {
        EXPECT_EQ(compose(6, kArialNarrow14, alignment, bangs), withPrefix("H6,1,\"", 0, bangs));
        EXPECT_EQ(compose(6, kCourier20, alignment, courier), withPrefix("H6,5,\"", 0, courier));
    }
}

TEST(ComposeHeaderWrite, RoomNarrowerThanASpaceGetsNoSpaces) {
    // 21 Courier characters leave 4 dots; a space with its spacing needs 18.
    const std::string text(21, 'W');
    EXPECT_EQ(compose(4, kCourier20, Alignment::Right, text), withPrefix("H4,5,\"", 0, text));
}

TEST(ComposeHeaderWrite, LeadingSpacesOfTheTextAreKeptAndMeasured) {
    // "  AB": 8 + 1 + 8 + 1 + 27 = 45 dots; room 335 holds 37 spaces.
    EXPECT_EQ(compose(5, kArial14, Alignment::Right, "  AB"), withPrefix("H5,2,\"", 37, "  AB"));
}

TEST(ComposeHeaderWrite, FailsForAlignmentsOutsideTheThree) {
    for (int value : {-1, 3, 255}) {
        std::string out = "left over";
        EXPECT_FALSE(composeHeaderWrite(1, kArial14, static_cast<Alignment>(value), "AB", out));
        EXPECT_TRUE(out.empty());
    }
}

// Whatever reaches it, nothing the printer would cut or could not place is composed.
TEST(ComposeHeaderWrite, FailsForTextsThatDoNotFitAndUnknownLinesOrFonts) {
    std::string out = "left over";
    EXPECT_FALSE(composeHeaderWrite(1, kCourier20, Alignment::Left, std::string(22, 'A'), out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(
        composeHeaderWrite(1, kArialNarrow14, Alignment::Right, std::string(128, '!'), out));
    for (int line : {0, 7, -3}) {
        EXPECT_FALSE(composeHeaderWrite(line, kArial14, Alignment::Left, "AB", out));
    }
    for (int font : {-1, kFontCount}) {
        EXPECT_FALSE(composeHeaderWrite(1, font, Alignment::Left, "AB", out));
    }
    EXPECT_TRUE(out.empty());
}

std::string_view quotedText(std::string_view command) {
    const std::size_t open = command.find('"');
    return command.substr(open + 1, command.size() - open - 3);
}

TEST(ComposeHeaderWrite, RightFillsTheLineAndCenterTakesHalf) {
    const std::string texts[] = {"A", "Quillet", "418 Larkspur Blvd", "iiiiiiiiiiiiiiiiii", "WWW"};
    for (int font = 0; font < kFontCount; ++font) {
        for (const std::string& text : texts) {
            const std::string right = compose(1, font, Alignment::Right, text);
            const std::string center = compose(1, font, Alignment::Center, text);
            const std::string_view rightText = quotedText(right);
            const std::size_t rightSpaces = rightText.size() - text.size();
            EXPECT_LE(printedWidth(font, rightText), kLineWidthDots);
            EXPECT_GT(printedWidth(font, " " + std::string(rightText)), kLineWidthDots)
                << "one more space would still fit, font " << font << ", \"" << text << "\"";
            EXPECT_EQ(quotedText(center).size() - text.size(), rightSpaces / 2);
        }
    }
}

}  // namespace
}  // namespace quillet
