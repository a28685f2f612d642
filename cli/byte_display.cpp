#include "cli/byte_display.h"

#include <cstdio>

namespace kv31cli {

namespace {

bool isPrintable(unsigned char c) {
    return c >= 32 && c <= 126;
}

std::string hexByte(const char* format, unsigned char c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned>(c));
    return buffer;
}

}  // namespace

std::string readableCommand(std::string_view bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 27) {
            out += "<ESC>";
        } else if (c == '\n') {
            out += "<LF>";
        } else if (c == '\r') {
            out += "<CR>";
        } else if (isPrintable(c)) {
            out += ch;
        } else {
            out += hexByte("<x%02X>", c);
        }
    }
    return out;
}

std::string quotedText(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (isPrintable(c)) {
            out += ch;
        } else {
            out += hexByte("\\x%02X", c);
        }
    }
    out += '"';
    return out;
}

}  // namespace kv31cli
