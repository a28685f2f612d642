#include "cli/backup_document.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "protocol/header_record.h"
#include "protocol/printer_font.h"

namespace kv31cli {

namespace {

using json = nlohmann::ordered_json;

// Each byte as the code point of the same number, in UTF-8, which is what the library
// holds; its ASCII-only output then writes the bytes above 127 as \u00XX.
std::string bytesToUtf8(std::string_view bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The library writes a few controls as \n, \t, ... and DEL as it is; a backup writes every
// byte outside 32 to 126 as \u00XX. Escapes occur only inside strings, so the document
// is rewritten escape by escape.
std::string escapeEveryControl(const std::string& document) {
    static constexpr std::string_view kShort = "bfnrt";
    static constexpr std::array<int, 5> kCodes = {8, 12, 10, 13, 9};
    std::string out;
    char code[8];
    for (std::size_t i = 0; i < document.size(); ++i) {
        const char c = document[i];
        if (c == '\\' && i + 1 < document.size()) {
            const std::size_t shortAt = kShort.find(document[i + 1]);
            if (shortAt != std::string_view::npos) {
                std::snprintf(code, sizeof code, "\\u%04x", kCodes[shortAt]);
                out += code;
            } else {
                out += c;
                out += document[i + 1];
            }
            ++i;
        } else if (c == 0x7F) {
            out += "\\u007f";
        } else {
            out += c;
        }
    }
    return out;
}

// The bytes a text of code points U+0000 to U+00FF stands for; false for any above.
bool utf8ToBytes(const std::string& utf8, std::string& bytes, std::size_t& badAt,
                 unsigned& badCode) {
    bytes.clear();
    std::size_t character = 0;
    for (std::size_t i = 0; i < utf8.size(); ++character) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
            ++i;
            continue;
        }
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        unsigned code = lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        if (code > 0xFF) {
            badAt = character + 1;
            badCode = code;
            return false;
        }
        bytes += static_cast<char>(code);
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string codePoint(unsigned code) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", code);
    return text;
}

// An integer field of an entry; the message when it is missing or is no integer.
bool integerField(const json& entry, const char* name, const std::string& where, int& out,
                  std::string& error) {
    const auto found = entry.find(name);
    if (found == entry.end()) {
        error = where + ": the field \"" + name + "\" is missing";
        return false;
    }
    if (!found->is_number_integer()) {
        error = where + "." + name + ": " + found->dump() + " is not a whole number";
        return false;
    }
    const auto value = found->get<long long>();
    out = value < -1000 || value > 1000 ? -1000 : static_cast<int>(value);
    return true;
}

std::string takeEntry(const json& entry, const std::string& where, BackupLine& out) {
    std::string error;
    if (!entry.is_object()) {
        return where + ": an entry is an object with line, font and text";
    }
    if (!integerField(entry, "line", where, out.line, error)) {
        return error;
    }
    if (out.line < 1 || out.line > quillet::kHeaderLineCount) {
        return where + ".line: " + entry["line"].dump() + " is outside 1 to 6";
    }
    int font = 0;
    if (!integerField(entry, "font", where, font, error)) {
        return error;
    }
    if (font < 1 || font > quillet::kFontCount) {
        return where + ".font: " + entry["font"].dump() + " is no printer font (1 to 7)";
    }
    out.content.font = font - 1;
    const auto text = entry.find("text");
    if (text == entry.end()) {
        return where + ": the field \"text\" is missing";
    }
    if (!text->is_string()) {
        return where + ".text: " + text->dump() + " is not a string";
    }
    std::size_t badAt = 0;
    unsigned badCode = 0;
    if (!utf8ToBytes(text->get<std::string>(), out.content.text, badAt, badCode)) {
        return where + ".text: character " + std::to_string(badAt) + " is " + codePoint(badCode) +
               ", above U+00FF: a text holds bytes, \\u0000 to \\u00ff";
    }
    return {};
}

std::string checkHeading(const json& document) {
    if (!document.is_object()) {
        return "not a kv31 backup: the document is no JSON object";
    }
    const auto format = document.find("format");
    if (format == document.end() || *format != kBackupFormat) {
        return std::string("format: ") +
               (format == document.end() ? std::string("missing") : format->dump()) +
               ", a kv31 backup has \"" + kBackupFormat + "\"";
    }
    const auto version = document.find("version");
    if (version == document.end() || *version != kBackupVersion) {
        return std::string("version: ") +
               (version == document.end() ? std::string("missing") : version->dump()) +
               ", this kv31 reads version " + std::to_string(kBackupVersion);
    }
    const auto lines = document.find("lines");
    if (lines == document.end() || !lines->is_array()) {
        return "lines: missing, or not a list of the six lines";
    }
    if (lines->size() != static_cast<std::size_t>(quillet::kHeaderLineCount)) {
        return "lines: " + std::to_string(lines->size()) + " entries, a backup holds 6";
    }
    return {};
}

// The text line, from 1, on which each entry of the document's "lines" list begins, for
// the messages; a scan that follows only strings and nesting, on a document already parsed.
std::vector<int> entryTextLines(const std::string& text) {
    std::vector<int> starts;
    int textLine = 1;
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    bool inList = false;
    bool elementNext = false;
    std::string lastString;  // of the top-level object: the last key seen
    std::string key;
    for (const char c : text) {
        textLine += c == '\n' ? 1 : 0;
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            } else if (depth == 1) {
                lastString += c;
            }
            continue;
        }
        if (elementNext && !std::isspace(static_cast<unsigned char>(c)) && c != ']') {
            starts.push_back(textLine);
            elementNext = false;
        }
        if (c == '"') {
            inString = true;
            lastString.clear();
        } else if (c == ':' && depth == 1) {
            key = lastString;
        } else if (c == '{' || c == '[') {
            ++depth;
            inList = inList || (c == '[' && depth == 2 && key == "lines");
            elementNext = elementNext || (inList && depth == 2);
        } else if (c == '}' || c == ']') {
            --depth;
            inList = inList && depth >= 2;
            elementNext = false;
        } else if (c == ',' && inList && depth == 2) {
            elementNext = true;
        }
    }
    return starts;
}

std::string takeDocument(const json& document, Backup& backup, std::size_t& failedEntry) {
    if (std::string error = checkHeading(document); !error.empty()) {
        return error;
    }
    if (const auto time = document.find("time"); time != document.end() && time->is_string()) {
        backup.time = time->get<std::string>();
    }
    if (const auto port = document.find("port"); port != document.end() && port->is_string()) {
        backup.port = port->get<std::string>();
    }
    std::array<BackupLine, quillet::kHeaderLineCount> byLine{};
    const json& lines = document["lines"];
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string where = "lines[" + std::to_string(i) + "]";
        BackupLine entry;
        failedEntry = i;
        if (std::string error = takeEntry(lines[i], where, entry); !error.empty()) {
            return error;
        }
        if (byLine[entry.line - 1].line != 0) {
            return where + ".line: line " + std::to_string(entry.line) + " comes twice";
        }
        byLine[entry.line - 1] = entry;
    }
    backup.lines.assign(byLine.begin(), byLine.end());
    return {};
}

}  // namespace

std::string backupToJson(const Backup& backup) {
    json lines = json::array();
    for (const BackupLine& entry : backup.lines) {
        lines.push_back({
            {"line", entry.line},
            {"font", entry.content.font + 1},
            {"fontName", quillet::kPrinterFonts[entry.content.font].listName},
            {"text", bytesToUtf8(entry.content.text)},
        });
    }
    const json document = {{"format", kBackupFormat},
                           {"version", kBackupVersion},
                           {"time", backup.time},
                           {"port", bytesToUtf8(backup.port)},
                           {"lines", lines}};
    return escapeEveryControl(document.dump(2, ' ', true)) + "\n";
}

LoadedBackup loadBackup(const std::string& path) {
    LoadedBackup loaded;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        loaded.error = path + ": cannot be read (missing, or not readable)";
        return loaded;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ..."
        const std::string what = e.what();
        const std::size_t at = what.find(" at line ");
        loaded.error =
            path + ": not valid JSON" + (at == std::string::npos ? ": " + what : what.substr(at));
        return loaded;
    }
    std::size_t failedEntry = SIZE_MAX;
    if (std::string error = takeDocument(document, loaded.backup, failedEntry); !error.empty()) {
        // An entry's fault is named with the text line it begins on: "backup.json:14: ...".
        const std::vector<int> starts = entryTextLines(text);
        const std::string where =
            failedEntry < starts.size() ? ":" + std::to_string(starts[failedEntry]) : "";
        loaded.error = path + where + ": " + error;
    }
    return loaded;
}

std::string currentUtcTime() {
    const std::time_t now = std::time(nullptr);
    const std::tm* utc = std::gmtime(&now);
    char text[32] = {};
    if (utc != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
    }
    return text;
}

}  // namespace kv31cli
