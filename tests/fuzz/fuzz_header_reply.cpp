// The header reply parser over arbitrary four-line replies.
// Input: a line number byte, then the reply; its first three LFs end lines 1 to 3,
// and line 4 runs to the next LF or the end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "protocol/header_readback.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using quillet::HeaderRecord;
using quillet::fuzz::check;

constexpr std::size_t kReplyLines = 4;

void splitReply(std::string_view reply, std::string (&lines)[kReplyLines]) {
    for (std::size_t i = 0; i < kReplyLines; ++i) {
        const std::size_t end = reply.find('\n');
        lines[i] = std::string(reply.substr(0, end));
        reply = end == std::string_view::npos ? std::string_view() : reply.substr(end + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    // Lines 0 to 7: the valid ones and one past each end.
    const int line = data[0] % 8;
    std::string lines[kReplyLines];
    splitReply(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), lines);
    const quillet::HeaderReplyLines replyLines = {lines[0], lines[1], lines[2], lines[3]};

    // Unterminated on purpose: a successful parse must leave a terminated text.
    auto* record = new HeaderRecord;
    std::memset(record->text, '#', sizeof record->text);
    record->font = 3;
    const HeaderRecord before = *record;

    if (quillet::parseHeaderReply(line, replyLines, *record)) {
        check(line >= 1 && line <= quillet::kHeaderLineCount, "only lines 1 to 6 are answered");
        check(record->font >= 0 && record->font < quillet::kFontCount, "font index 0 to 6");
        const void* end = std::memchr(record->text, '\0', sizeof record->text);
        check(end != nullptr, "the text is terminated inside the record");
        // Whole: a NUL inside the quotes must fail the parse, not cut the text.
        const std::string_view text = record->text;
        const std::string_view fourth = replyLines[3];
        const std::string_view quoted =
            fourth.size() < 2 ? std::string_view() : fourth.substr(1, fourth.size() - 2);
        check(fourth.substr(0, 5) == "Empty" ? text.empty() : text == quoted,
              "the text is the fourth reply line's quoted text, whole");
        const std::string_view first = replyLines[0];
        check(!first.empty() && first.back() == static_cast<char>('0' + line),
              "the first reply line ends with the line's digit");
    } else {
        check(std::memcmp(record->text, before.text, sizeof before.text) == 0 &&
                  record->font == before.font,
              "a failed parse leaves the record as it was");
    }
    delete record;
    return 0;
}
