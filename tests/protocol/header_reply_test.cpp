// The reply grammar of the header query, line by line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "protocol/header_readback.h"

namespace quillet {
namespace {

struct Reply {
    std::string header;
    std::string font = "font:    Arial 14";
    std::string text = "text: ";
    std::string quoted = "\"hello\"";
};

// A record that shows whether a failed parse left it alone.
HeaderRecord untouched() {
    HeaderRecord record;
    std::strcpy(record.text, "as it was");
    record.font = 3;
    return record;
}

bool parse(int line, const Reply& reply, HeaderRecord& record) {
    return parseHeaderReply(line, {reply.header, reply.font, reply.text, reply.quoted}, record);
}

bool accepted(int line, const Reply& reply) {
    HeaderRecord record = untouched();
    const bool ok = parse(line, reply, record);
    if (!ok) {
        EXPECT_STREQ(record.text, "as it was");
        EXPECT_EQ(record.font, 3);
    }
    return ok;
}

Reply forLine(int line) {
    Reply reply;
    reply.header = "Header " + std::to_string(line);
    return reply;
}

TEST(HeaderReply, FirstLineNamesTheQueriedLineAndEndsThere) {
    EXPECT_TRUE(accepted(3, forLine(3)));
    Reply reply = forLine(3);
    for (const char* bad :
         {"Header 31", "Header 4", "Header 3 ", "Header3", "header 3", "Header  3", "Header ", "",
          "Header 3Header 3", "Header Header 3", "Header 2 Header 3"}) {
        reply.header = bad;
        EXPECT_FALSE(accepted(3, reply)) << '"' << bad << '"';
    }
    for (const char* good : {"\x01\x02junkHeader 3", "OK Header 3", "Header3 Header 3"}) {
        reply.header = good;
        EXPECT_TRUE(accepted(3, reply)) << '"' << good << '"';
    }
}

TEST(HeaderReply, OnlyLinesOneToSix) {
    for (int line : {0, 7, -1}) {
        Reply reply = forLine(line);
        EXPECT_FALSE(accepted(line, reply)) << line;
    }
    EXPECT_TRUE(accepted(1, forLine(1)));
    EXPECT_TRUE(accepted(6, forLine(6)));
}

TEST(HeaderReply, FontNamesInTheirOrder) {
    const struct {
        const char* line;
        int font;
    } cases[] = {
        {"font:    Arial Narrow 14", 0},    {"font:    Arial 14", 1},
        {"font:    Arial Narrow 20", 2},    {"font:    Arial 20", 3},
        {"font:    Courier 20", 4},         {"font:    CHBlack 24", 5},
        {"font:    Lucida 16", 6},          {"font:    Unknown", 5},
        {"  font:    Arial 20 bold", 3},     // a substring of what follows the tag
        {"font:    Lucida 16 Arial 14", 1},  // the table's order, not the line's
    };
    for (const auto& c : cases) {
        Reply reply = forLine(2);
        reply.font = c.line;
        HeaderRecord record = untouched();
        ASSERT_TRUE(parse(2, reply, record)) << c.line;
        EXPECT_EQ(record.font, c.font) << c.line;
    }
}

TEST(HeaderReply, FontLineWithoutAKnownNameIsInvalid) {
    Reply reply = forLine(2);
    for (const char* bad :
         {"font:    Garamond 18", "font:    ", "font:   Arial 14", "font: Arial 14",
          "Arial 14 font:    Garamond", "Arial 14", "font:    arial 14", "font:    Arial  14"}) {
        reply.font = bad;
        EXPECT_FALSE(accepted(2, reply)) << '"' << bad << '"';
    }
}

TEST(HeaderReply, ThirdLineEndsRightAfterItsTag) {
    Reply reply = forLine(1);
    reply.text = "  text: ";
    EXPECT_TRUE(accepted(1, reply));
    for (const char* bad : {"text: x", "text:", "text:  ", "text: text: ", "", "TEXT: "}) {
        reply.text = bad;
        EXPECT_FALSE(accepted(1, reply)) << '"' << bad << '"';
    }
}

TEST(HeaderReply, FourthLineGivesTheText) {
    const struct {
        const char* line;
        const char* text;
    } cases[] = {
        {"Empty", ""},
        {"Empty header", ""},
        {"\"\"", ""},
        {"\"", ""},
        {"\"hello\"", "hello"},
        {"\"        418 Larkspur Blvd\"", "        418 Larkspur Blvd"},
        {"\"say \"hi\"\"", "say \"hi\""},
        {"\"Empty\"", "Empty"},
    };
    for (const auto& c : cases) {
        Reply reply = forLine(4);
        reply.quoted = c.line;
        HeaderRecord record = untouched();
        ASSERT_TRUE(parse(4, reply, record)) << c.line;
        EXPECT_STREQ(record.text, c.text) << c.line;
        EXPECT_EQ(record.font, 1);
    }
}

TEST(HeaderReply, FourthLineMustBeQuotedOrEmpty) {
    Reply reply = forLine(4);
    for (const char* bad :
         {"\"unterminated", "unopened\"", "", " \"x\"", "\"x\" ", "empty", "Emp"}) {
        reply.quoted = bad;
        EXPECT_FALSE(accepted(4, reply)) << '"' << bad << '"';
    }
}

// A record holds 149 characters; a longer text is refused, not cut or overrun.
TEST(HeaderReply, TextUpToWhatARecordHolds) {
    const std::string longest = std::string(140, ' ') + "Brellic!!";
    ASSERT_EQ(longest.size(), 149u);
    Reply reply = forLine(5);
    reply.quoted = '"' + longest + '"';
    HeaderRecord record = untouched();
    ASSERT_TRUE(parse(5, reply, record));
    EXPECT_EQ(std::string(record.text), longest);

    reply.quoted = "\"" + longest + "x\"";
    EXPECT_FALSE(accepted(5, reply));
}

TEST(HeaderReply, ReplacesTheWholeText) {
    HeaderRecord record;
    std::memset(record.text, 'z', sizeof record.text - 1);
    Reply reply = forLine(1);
    reply.quoted = "\"ab\"";
    ASSERT_TRUE(parse(1, reply, record));
    EXPECT_STREQ(record.text, "ab");
}

TEST(HeaderReply, EmptyLinesAreInvalid) {
    HeaderRecord record = untouched();
    EXPECT_FALSE(parseHeaderReply(1, {"Header 1", "font:    Arial 14", "", "\"x\""}, record));
    EXPECT_FALSE(parseHeaderReply(1, {}, record));
    EXPECT_STREQ(record.text, "as it was");
}

// Line noise or a printer waking up can put any byte before "Header ", NUL included.
TEST(HeaderReply, NulBytesAreBytesLikeAnyOther) {
    using namespace std::string_literals;
    Reply reply = forLine(2);
    reply.header = "\0\0\xff\0Header 2"s;
    reply.font = "\0font:    \0Arial 20"s;
    EXPECT_TRUE(accepted(2, reply));
    reply.quoted = "Empty\0"s;
    EXPECT_TRUE(accepted(2, reply));

    for (const std::string& bad : {"Header 2\0"s,
                                   "Header \0"
                                   "2"s,
                                   "Header\0 2"s}) {
        Reply wrong = forLine(2);
        wrong.header = bad;
        EXPECT_FALSE(accepted(2, wrong));
    }
    Reply wrong = forLine(2);
    wrong.text = "text: \0"s;
    EXPECT_FALSE(accepted(2, wrong));
    wrong = forLine(2);
    wrong.font = "font:    Arial\0 14"s;
    EXPECT_FALSE(accepted(2, wrong));
    // A record's text ends at its first NUL, so it could not hold this one whole.
    wrong = forLine(2);
    wrong.quoted = "\"ab\0cd\""s;
    EXPECT_FALSE(accepted(2, wrong));
}

}  // namespace
}  // namespace quillet
