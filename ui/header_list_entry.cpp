#include "ui/header_list_entry.h"

#include <algorithm>
#include <string_view>

namespace quillet {
namespace {

// The line number and exactly ten spaces, then what the entry shows.
std::string entry(int line, std::string_view shown) {
    std::string text = "Header Message #" + std::to_string(line) + "          ";
    text += shown;
    return text;
}

}  // namespace

std::string headerListEntry(int line, const HeaderRecord& record) {
    // The readback always terminates the text; stay inside the buffer all the same.
    const char* end = std::find(record.text, record.text + kHeaderTextCapacity - 1, '\0');
    std::string_view text(record.text, static_cast<std::size_t>(end - record.text));
    if (text.empty()) {
        return entry(line, "<blank>");
    }
    const std::size_t firstShown = std::min(text.find_first_not_of(' '), text.size());
    return entry(line, text.substr(firstShown));
}

std::string loadingErrorEntry(int line) {
    return entry(line, "<loading error>");
}

}  // namespace quillet
