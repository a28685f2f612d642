#include "protocol/header_readback.h"

#include <cstring>

#include "link/line_reader.h"
#include "link/pause.h"
#include "link/reader_thread.h"
#include "link/serial_port.h"
#include "protocol/printer_commands.h"

namespace quillet {

namespace {

struct ReplyFontName {
    std::string_view name;
    int font;
};

// Tried in this order; the first name found gives the font.
constexpr ReplyFontName kReplyFontNames[] = {
    {"Arial Narrow 14", 0}, {"Arial 14", 1},   {"Arial Narrow 20", 2}, {"Arial 20", 3},
    {"Courier 20", 4},      {"CHBlack 24", 5}, {"Lucida 16", 6},       {"Unknown", 5},
};

constexpr std::string_view kHeaderTag = "Header ";
constexpr std::string_view kFontTag = "font:    ";
constexpr std::string_view kTextTag = "text: ";
constexpr std::string_view kEmptyTag = "Empty";

// What the reply lines give, gathered as they are checked one by one.
struct ReplyFields {
    int font = 0;
    char text[kHeaderTextCapacity] = {};
};

// The line a reply's first line names: "Header " and a digit 1 to 6 that ends the line;
// 0 when it names none.
int namedLine(std::string_view reply) {
    const std::size_t tag = reply.find(kHeaderTag);
    if (tag == std::string_view::npos) {
        return 0;
    }
    const std::size_t digit = tag + kHeaderTag.size();
    if (reply.size() != digit + 1 || reply[digit] < '1' || reply[digit] > '6') {
        return 0;
    }
    return reply[digit] - '0';
}

bool isHeaderLine(int line, std::string_view reply) {
    return namedLine(reply) == line;
}

bool findFont(std::string_view reply, int& font) {
    const std::size_t tag = reply.find(kFontTag);
    if (tag == std::string_view::npos) {
        return false;
    }
    const std::string_view name = reply.substr(tag + kFontTag.size());
    for (const ReplyFontName& known : kReplyFontNames) {
        if (name.find(known.name) != std::string_view::npos) {
            font = known.font;
            return true;
        }
    }
    return false;
}

bool isTextLine(std::string_view reply) {
    const std::size_t tag = reply.find(kTextTag);
    return tag != std::string_view::npos && tag + kTextTag.size() == reply.size();
}

// "Empty", or the text between a leading and a trailing double quote.
bool takeText(std::string_view reply, char (&text)[kHeaderTextCapacity]) {
    if (reply.substr(0, kEmptyTag.size()) == kEmptyTag) {
        text[0] = '\0';
        return true;
    }
    if (reply.empty() || reply.front() != '"' || reply.back() != '"') {
        return false;
    }
    const std::string_view quoted =
        reply.size() < 2 ? std::string_view() : reply.substr(1, reply.size() - 2);
    if (quoted.size() >= kHeaderTextCapacity || quoted.find('\0') != std::string_view::npos) {
        return false;  // more than a record holds, or cut short at its NUL
    }
    quoted.copy(text, quoted.size());  // an empty quote has no data to copy from
    text[quoted.size()] = '\0';
    return true;
}

// Checks reply line 0 to 3 of the reply to a query for line.
bool acceptReplyLine(int line, std::size_t index, std::string_view reply, ReplyFields& fields) {
    switch (index) {
        case 0:
            return isHeaderLine(line, reply);
        case 1:
            return findFont(reply, fields.font);
        case 2:
            return isTextLine(reply);
        default:
            return takeText(reply, fields.text);
    }
}

void store(const ReplyFields& fields, HeaderRecord& record) {
    std::memcpy(record.text, fields.text, sizeof record.text);
    record.font = fields.font;
}

// Takes up to count more lines of a reply that went wrong, so that they cannot pass for
// the reply to the next query; stops at the first wait that ends with none.
void takeRestOfReply(std::size_t count) {
    char rest[kReplyLineCapacity];
    std::size_t length = 0;
    for (std::size_t i = 0; i < count && waitForLine(rest, sizeof rest, length); ++i) {
    }
}

bool isLine(int line) {
    return line >= 1 && line <= kHeaderLineCount;
}

// Waits for the first line of the answer to a query for line. A first line that names
// another line begins a late answer to an earlier query: it and the three lines after it
// are passed over and the wait goes on. Only tries that find no line count against the
// wait's four tries, and at most one late answer per other line is passed over.
bool waitForFirstReplyLine(int line, char (&reply)[kReplyLineCapacity], std::size_t& length) {
    int failedTries = 0;
    int lateAnswers = 0;
    int linesToPass = 0;
    while (failedTries < kLineTries) {
        if (!takeLine(reply, sizeof reply, length)) {
            ++failedTries;
            pause(kLineRetryPauseMs);
            continue;
        }
        const int named = namedLine(std::string_view(reply, length));
        if (named != 0 && named != line && lateAnswers < kHeaderLineCount - 1) {
            ++lateAnswers;
            linesToPass = static_cast<int>(HeaderReplyLines().size()) - 1;
        } else if (named == 0 && linesToPass > 0) {
            --linesToPass;
        } else {
            return true;
        }
    }
    return false;
}

}  // namespace

bool parseHeaderReply(int line, const HeaderReplyLines& replyLines, HeaderRecord& record) {
    if (!isLine(line)) {
        return false;
    }
    ReplyFields fields;
    for (std::size_t i = 0; i < replyLines.size(); ++i) {
        if (!acceptReplyLine(line, i, replyLines[i], fields)) {
            return false;
        }
    }
    store(fields, record);
    return true;
}

// A reply never comes before its query: whatever was received before it is left from
// earlier and is discarded, wherever it waits. Each reply line is checked as it comes; after a bad
// one the rest of the reply is taken, even when it is still on its way. A missing line ends it at
// once.
bool readHeader(int line, HeaderRecord& record) {
    if (!isLine(line)) {
        return false;
    }
    discardReceived();
    const std::array<char, 4> query = headerQueryCommand(line);
    // A failed write shows as a missing reply.
    static_cast<void>(writeBytes(query.data(), query.size()));

    char reply[kReplyLineCapacity];
    ReplyFields fields;
    constexpr std::size_t kLines = HeaderReplyLines().size();
    for (std::size_t i = 0; i < kLines; ++i) {
        std::size_t length = 0;
        const bool taken = i == 0 ? waitForFirstReplyLine(line, reply, length)
                                  : waitForLine(reply, sizeof reply, length);
        if (!taken) {
            return false;
        }
        if (!acceptReplyLine(line, i, std::string_view(reply, length), fields)) {
            takeRestOfReply(kLines - 1 - i);
            return false;
        }
    }
    store(fields, record);
    return true;
}

}  // namespace quillet
