#include "emulator/printer_model.h"

#include <charconv>

namespace kv31 {

namespace {

constexpr char kEsc = 27;
// What is kept of the printed pages, so that a flood of print commands stays bounded.
constexpr std::size_t kKeptPages = 64;
constexpr std::size_t kKeptLinesPerPage = 64;

// The maker's defaults, as the printer restores them.
const std::array<StoredLine, 6> kFactoryLines{{
    {4, "  Brellic Technology"},
    {2, "        418 Larkspur Blvd"},
    {2, "        Springdale, ZZ 00000"},
    {2, "        TEL: (555) 010-2000"},
    {2, "        FAX: (555) 010-2001"},
    {3, "      Measured with Care"},
}};

int lineDigit(char c) {
    return (c >= '1' && c <= '6') ? c - '0' : 0;
}

// Reads a decimal number at pos, then expects a comma after it.
bool numberThenComma(std::string_view s, std::size_t& pos, int& value) {
    const char* first = s.data() + pos;
    const char* last = s.data() + s.size();
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end == last || *end != ',') {
        return false;
    }
    pos = static_cast<std::size_t>(end - s.data()) + 1;
    return true;
}

}  // namespace

const char* printerFontName(int printerFont) {
    static const char* const kNames[] = {"Arial Narrow 14", "Arial 14",   "Arial Narrow 20",
                                         "Arial 20",        "Courier 20", "CHBlack 24",
                                         "Lucida 16"};
    return (printerFont >= 1 && printerFont <= 7) ? kNames[printerFont - 1] : "";
}

std::string readableBytes(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == kEsc) {
            out += "<ESC>";
        } else if (u < 32 || u > 126) {
            const char* digits = "0123456789ABCDEF";
            out += '<';
            out += digits[u >> 4];
            out += digits[u & 15];
            out += '>';
        } else {
            out += c;
        }
    }
    return out;
}

PrinterModel::PrinterModel() : lines_(kFactoryLines) {}

void PrinterModel::restoreDefaults() {
    lines_ = kFactoryLines;
}

bool PrinterModel::setLine(int line, int printerFont, std::string text) {
    if (line < 1 || line > 6 || printerFont < 1 || printerFont > 7) {
        return false;
    }
    lines_[line - 1] = StoredLine{printerFont, std::move(text)};
    return true;
}

CommandResult PrinterModel::execute(std::string_view command) {
    if (command.empty()) {
        feed();
        return {"feed", 0};
    }
    if (command.size() == 4 && command[0] == kEsc && command[2] == kEsc) {
        if (command[1] == 'M' && (command[3] == '1' || command[3] == '5')) {
            mode_ = command[3];
            return {std::string("mode ") + mode_, 0};
        }
        if (command[1] == 'H' && lineDigit(command[3]) != 0) {
            printLine(lineDigit(command[3]));
            return {std::string("print header ") + command[3], 0};
        }
    }
    if (command.size() == 3 && command.substr(0, 2) == "RH" && lineDigit(command[2]) != 0) {
        return {std::string("query header ") + command[2], lineDigit(command[2])};
    }
    if (command[0] == 'H') {
        return writeHeader(command);
    }
    return {"unknown command: " + readableBytes(command), 0};
}

// H<line>,<font>,"<text>": the text lies between the first and the last double quote.
CommandResult PrinterModel::writeHeader(std::string_view command) {
    std::size_t pos = 1;
    int line = 0;
    int font = 0;
    const bool prefix = numberThenComma(command, pos, line) && numberThenComma(command, pos, font);
    const std::size_t open = command.find('"', pos);
    const std::size_t close = command.rfind('"');
    if (!prefix || open != pos || close == open) {
        return {"malformed header write: " + readableBytes(command), 0};
    }
    std::string text(command.substr(open + 1, close - open - 1));
    if (!setLine(line, font, text)) {
        return {"header write out of range: " + readableBytes(command), 0};
    }
    return {"write header " + std::to_string(line) + ": font " + std::to_string(font) + " (" +
                printerFontName(font) + "), text \"" + readableBytes(text) + "\"",
            0};
}

// A print-header command after a feed starts a new page.
void PrinterModel::printLine(int line) {
    if (lastWasFeed_ || pages_.empty()) {
        startPage();
    }
    addToPage(lines_[line - 1].text);
    lastWasFeed_ = false;
}

void PrinterModel::feed() {
    if (pages_.empty()) {
        startPage();
    }
    addToPage({});
    lastWasFeed_ = true;
}

void PrinterModel::startPage() {
    if (pages_.size() == kKeptPages) {
        pages_.erase(pages_.begin());
    }
    pages_.emplace_back();
}

void PrinterModel::addToPage(const std::string& printed) {
    if (pages_.back().size() < kKeptLinesPerPage) {
        pages_.back().push_back(printed);
    }
}

}  // namespace kv31
