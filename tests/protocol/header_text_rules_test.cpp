// The header editor's rules over the printer's bytes, without a window.
#include "protocol/header_text_rules.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "protocol/printer_font.h"
#include "tests/ui/font_indices.h"

namespace quillet {

void PrintTo(const LineCut& cut, std::ostream* out) {
    *out << "{first " << cut.first << ", count " << cut.count << "}";
}

namespace {

using namespace test;  // font indices

// The check of a text typed, one character at a time, from an empty box: the length of the
// longest text taken, and the fault of the first refused character.
struct Typed {
    std::size_t taken;
    TextFault refusedWith;
};

Typed typeInto(int font, char c, std::size_t upTo = 100) {
    std::string accepted;
    for (std::size_t i = 0; i < upTo; ++i) {
        const std::string text = accepted + c;
        const TextFault fault = findTextFault(text, accepted, font);
        if (fault != TextFault::None) {
            return {accepted.size(), fault};
        }
        accepted = text;
    }
    return {accepted.size(), TextFault::None};
}

TEST(HeaderTextRules, ArialNarrow14TakesThirtyTwoCharactersNotThirtyThree) {
    const Typed typed = typeInto(kArialNarrow14, 'i');
    EXPECT_EQ(typed.taken, 32u);
    EXPECT_EQ(typed.refusedWith, TextFault::TooLong);
    EXPECT_LT(printedWidth(kArialNarrow14, std::string(33, 'i')), kLineWidthDots);
}

TEST(HeaderTextRules, WidthDecidesInTheWideFonts) {
    // Courier 20: 21 characters of 16 dots take 376 dots, a 22nd 394.
    EXPECT_EQ(typeInto(kCourier20, 'a').taken, 21u);
    EXPECT_EQ(typeInto(kCourier20, 'a').refusedWith, TextFault::TooLong);
    // Capital L is a dot narrower: 22 of them take 372 dots, a 23rd 389.
    EXPECT_EQ(typeInto(kCourier20, 'L').taken, 22u);
    // The 26th character is refused in Brellic Default and Lucida 16.
    EXPECT_EQ(typeInto(kBrellic, 'x').taken, 25u);
    EXPECT_EQ(typeInto(kLucida16, 'x').taken, 25u);
}

TEST(HeaderTextRules, ATextOfExactlyTheLineIsTaken) {
    const std::string full = "1111123567890123567890123567890";
    ASSERT_EQ(printedWidth(kArialNarrow20, full), kLineWidthDots);
    EXPECT_EQ(findTextFault(full, "", kArialNarrow20), TextFault::None);
    EXPECT_EQ(findTextFault(full + "1", full, kArialNarrow20), TextFault::TooLong);
    EXPECT_EQ(findTextFault("", full, kArialNarrow20), TextFault::None);
}

TEST(HeaderTextRules, TheFirstBadCharacterDecidesTheFault) {
    // A tab tenth, in a text also far too long.
    const std::string tabTenth = std::string(9, 'i') + '\t' + std::string(40, 'i');
    EXPECT_EQ(findTextFault(tabTenth, "", kArialNarrow14), TextFault::Unprintable);
    // The 33rd character fails before a later tab.
    const std::string tabLater = std::string(33, 'i') + '\t';
    EXPECT_EQ(findTextFault(tabLater, "", kArialNarrow14), TextFault::TooLong);
    // Outside 32 to 126: control characters, DEL and every byte above it.
    for (unsigned char c : {0x00, 0x1F, 0x7F, 0x80, 0xE9, 0xFF}) {
        SCOPED_TRACE(static_cast<int>(c));
        const std::string text = std::string("ab") + static_cast<char>(c);
        EXPECT_EQ(findTextFault(text, "ab", kArial14), TextFault::Unprintable);
    }
    EXPECT_EQ(findTextFault(" ~", "", kArial14), TextFault::None);
}

// A right-aligned "AB" in Arial 14 comes back with 39 spaces in front: 41 characters.
TEST(HeaderTextRules, AReadBackTextStretchesTheLimitsToWhatItTakes) {
    const std::string stored = std::string(39, ' ') + "AB";
    EXPECT_EQ(findTextFault(stored, stored, kArial14), TextFault::None);
    const std::string shorter = stored.substr(0, 40);
    EXPECT_EQ(findTextFault(shorter, stored, kArial14), TextFault::None);
    // Growing past the accepted text is refused.
    EXPECT_EQ(findTextFault(shorter + "B", shorter, kArial14), TextFault::TooLong);
    // Once the text is down to 30 characters, the usual 32 apply.
    const std::string thirty = std::string(28, ' ') + "AB";
    EXPECT_EQ(findTextFault(thirty + "CD", thirty, kArial14), TextFault::None);
    EXPECT_EQ(findTextFault(thirty + "CDE", thirty + "CD", kArial14), TextFault::TooLong);

    // Too wide for its font: 20 capitals W take 538 dots in Arial 20.
    const std::string wide(20, 'W');
    ASSERT_GT(printedWidth(kArial20, wide), kLineWidthDots);
    EXPECT_EQ(findTextFault(wide.substr(0, 19), wide, kArial20), TextFault::None);
    EXPECT_EQ(findTextFault(wide + "W", wide, kArial20), TextFault::TooLong);
}

TEST(HeaderTextRules, AnUnprintableCharacterItHoldsLetsOneThrough) {
    const std::string stored = "TAB\tHERE";
    EXPECT_EQ(findTextFault("TAB\tHER", stored, kArial14), TextFault::None);
    EXPECT_EQ(findTextFault("TAB\tHER\t", "TAB\tHER", kArial14), TextFault::Unprintable);
    EXPECT_EQ(findTextFault("\tTABHER", "TAB\tHER", kArial14), TextFault::None);
    EXPECT_EQ(findTextFault("TAB\x01HER", "TAB\tHER", kArial14), TextFault::Unprintable);
}

TEST(HeaderTextRules, AListWithoutSelectionIsMeasuredInFontFive) {
    EXPECT_EQ(measuringFont(-1), kBrellic);
    EXPECT_EQ(measuringFont(kArialNarrow14), kArialNarrow14);
    EXPECT_EQ(measuringFont(kLucida16), kLucida16);
}

TEST(HeaderTextRules, ATextTooWideForTheFontIsCutToWhatFits) {
    // 30 characters taken in Arial Narrow 14; Courier 20 holds 21 of them.
    EXPECT_EQ(lineCut(kCourier20, std::string(30, 'a')), (LineCut{0, 21}));
    EXPECT_EQ(lineCut(kArialNarrow14, std::string(21, 'a')), std::nullopt);
    EXPECT_EQ(lineCut(kArial20, std::string(20, 'W')), (LineCut{0, 14}));
    EXPECT_EQ(lineCut(kCourier20, ""), std::nullopt);
    // An unknown font fits nothing.
    EXPECT_EQ(lineCut(kFontCount, "A"), (LineCut{0, 0}));
}

TEST(HeaderTextRules, ACutTakesTheLeadingSpacesFirst) {
    // AB written Right in Arial 14 has 39 spaces in front. In Arial 20 AB takes 40 dots and
    // each space 14 more: 24 spaces still fit (376 dots), 25 do not (390).
    EXPECT_EQ(lineCut(kArial20, std::string(39, ' ') + "AB"), (LineCut{15, 26}));
    // Without any of its spaces the rest is still too wide: all go, then its end.
    EXPECT_EQ(lineCut(kArial20, "   " + std::string(20, 'W')), (LineCut{3, 14}));
    // Spaces only: 42 of them fit in Arial 14 (377 dots).
    EXPECT_EQ(lineCut(kArial14, std::string(45, ' ')), (LineCut{3, 42}));
}

}  // namespace
}  // namespace quillet
