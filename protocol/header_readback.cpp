#include "protocol/header_readback.h"

#include <cstring>
#include <string>

#include "link/line_reader.h"
#include "link/serial_port.h"
#include "protocol/printer_commands.h"

namespace quillet {

namespace {

struct ReplyFontName {
    const char* name;
    int font;
};

// Tried in this order; the first name found gives the font.
constexpr ReplyFontName kReplyFontNames[] = {
    {"Arial Narrow 14", 0}, {"Arial 14", 1},   {"Arial Narrow 20", 2}, {"Arial 20", 3},
    {"Courier 20", 4},      {"CHBlack 24", 5}, {"Lucida 16", 6},       {"Unknown", 5},
};

constexpr char kHeaderTag[] = "Header ";
constexpr char kFontTag[] = "font:    ";
constexpr char kTextTag[] = "text: ";
constexpr char kEmptyTag[] = "Empty";

constexpr std::size_t tagLength(const char* tag) {
    return std::char_traits<char>::length(tag);
}

// "Header " and the line's digit must end the line.
bool isHeaderLine(int line, const char* reply) {
    const char* tag = std::strstr(reply, kHeaderTag);
    if (tag == nullptr) {
        return false;
    }
    const char* digit = tag + tagLength(kHeaderTag);
    return digit[0] == static_cast<char>('0' + line) && digit[1] == '\0';
}

bool findFont(const char* reply, int& font) {
    const char* tag = std::strstr(reply, kFontTag);
    if (tag == nullptr) {
        return false;
    }
    const char* name = tag + tagLength(kFontTag);
    for (const ReplyFontName& known : kReplyFontNames) {
        if (std::strstr(name, known.name) != nullptr) {
            font = known.font;
            return true;
        }
    }
    return false;
}

bool isTextLine(const char* reply) {
    const char* tag = std::strstr(reply, kTextTag);
    return tag != nullptr && tag[tagLength(kTextTag)] == '\0';
}

// "Empty", or the text between a leading and a trailing double quote.
bool takeText(const char* reply, char (&text)[kHeaderTextCapacity]) {
    if (std::strncmp(reply, kEmptyTag, tagLength(kEmptyTag)) == 0) {
        text[0] = '\0';
        return true;
    }
    const std::size_t length = std::strlen(reply);
    if (length == 0 || reply[0] != '"' || reply[length - 1] != '"') {
        return false;
    }
    const std::size_t textLength = length < 2 ? 0 : length - 2;
    if (textLength >= kHeaderTextCapacity) {
        return false;  // more than a record holds
    }
    std::memcpy(text, reply + 1, textLength);
    text[textLength] = '\0';
    return true;
}

void store(int font, const char (&text)[kHeaderTextCapacity], HeaderRecord& record) {
    std::memcpy(record.text, text, sizeof record.text);
    record.font = font;
}

bool isLine(int line) {
    return line >= 1 && line <= kHeaderLineCount;
}

}  // namespace

bool parseHeaderReply(int line, const char* const replyLines[4], HeaderRecord& record) {
    if (!isLine(line) || replyLines == nullptr) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (replyLines[i] == nullptr) {
            return false;
        }
    }
    int font = 0;
    char text[kHeaderTextCapacity] = {};
    if (!isHeaderLine(line, replyLines[0]) || !findFont(replyLines[1], font) ||
        !isTextLine(replyLines[2]) || !takeText(replyLines[3], text)) {
        return false;
    }
    store(font, text, record);
    return true;
}

// Each reply line is checked as it comes; the first bad one ends the readback and
// leaves the lines behind it waiting for the caller's drain.
bool readHeader(int line, HeaderRecord& record) {
    if (!isLine(line)) {
        return false;
    }
    const std::array<char, 4> query = headerQueryCommand(line);
    // A failed write shows as a missing reply.
    static_cast<void>(writeBytes(query.data(), query.size()));

    char reply[kReplyLineCapacity];
    int font = 0;
    char text[kHeaderTextCapacity] = {};
    if (!waitForLine(reply, sizeof reply) || !isHeaderLine(line, reply)) {
        return false;
    }
    if (!waitForLine(reply, sizeof reply) || !findFont(reply, font)) {
        return false;
    }
    if (!waitForLine(reply, sizeof reply) || !isTextLine(reply)) {
        return false;
    }
    if (!waitForLine(reply, sizeof reply) || !takeText(reply, text)) {
        return false;
    }
    store(font, text, record);
    return true;
}

}  // namespace quillet
