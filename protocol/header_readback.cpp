#include "protocol/header_readback.h"

#include <cstring>

#include "link/line_reader.h"
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

// "Header " and the line's digit must end the line.
bool isHeaderLine(int line, std::string_view reply) {
    const std::size_t tag = reply.find(kHeaderTag);
    if (tag == std::string_view::npos) {
        return false;
    }
    const std::size_t digit = tag + kHeaderTag.size();
    return reply.size() == digit + 1 && reply[digit] == static_cast<char>('0' + line);
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

// A reply never comes before its query: lines already waiting are left from earlier and
// are discarded. Each reply line is checked as it comes; after a bad one the rest of the
// reply is taken, even when it is still on its way. A missing line ends it at once.
bool readHeader(int line, HeaderRecord& record) {
    if (!isLine(line)) {
        return false;
    }
    discardWaitingLines(kReplyLineCapacity);
    const std::array<char, 4> query = headerQueryCommand(line);
    // A failed write shows as a missing reply.
    static_cast<void>(writeBytes(query.data(), query.size()));

    char reply[kReplyLineCapacity];
    ReplyFields fields;
    constexpr std::size_t kLines = HeaderReplyLines().size();
    for (std::size_t i = 0; i < kLines; ++i) {
        std::size_t length = 0;
        if (!waitForLine(reply, sizeof reply, length)) {
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
