#include "ui/header_list_entry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillet {
namespace {

HeaderRecord recordOf(const char* text) {
    HeaderRecord record;
    std::strncpy(record.text, text, kHeaderTextCapacity - 1);
    record.font = 1;
    return record;
}

TEST(HeaderListEntry, ShowsTheTextAfterTheLineNumberAndTenSpaces) {
    EXPECT_EQ(headerListEntry(3, recordOf("Springdale")), "Header Message #3          Springdale");
}

TEST(HeaderListEntry, HidesLeadingSpacesForDisplayOnly) {
    const HeaderRecord record = recordOf("  Brellic Technology");
    EXPECT_EQ(headerListEntry(1, record), "Header Message #1          Brellic Technology");
    EXPECT_STREQ(record.text, "  Brellic Technology");
    // Spaces inside and after the text are part of what is shown.
    EXPECT_EQ(headerListEntry(2, recordOf(" a  b ")), "Header Message #2          a  b ");
}

TEST(HeaderListEntry, TextOfOnlySpacesShowsNothingAfterThePrefix) {
    EXPECT_EQ(headerListEntry(5, recordOf("     ")), "Header Message #5          ");
}

TEST(HeaderListEntry, EmptyTextShowsBlank) {
    EXPECT_EQ(headerListEntry(6, recordOf("")), "Header Message #6          <blank>");
}

TEST(HeaderListEntry, FailedReadbackShowsLoadingError) {
    EXPECT_EQ(loadingErrorEntry(4), "Header Message #4          <loading error>");
}

TEST(HeaderListEntry, UnterminatedTextStaysInsideTheRecord) {
    HeaderRecord record;
    std::memset(record.text, 'x', sizeof record.text);
    const std::string entry = headerListEntry(1, record);
    EXPECT_EQ(entry, "Header Message #1          " + std::string(kHeaderTextCapacity - 1, 'x'));
}

}  // namespace
}  // namespace quillet
