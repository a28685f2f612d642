#include "emulator/reply_builder.h"

namespace kv31 {

namespace {

// Named like a font but matching none the host knows, nor its "Unknown".
constexpr const char* kStrangeFontName = "Garamond 18";

}  // namespace

std::string buildReply(int line, const StoredLine& stored, const Faults& faults) {
    if (faults.silent || faults.silentLine == line) {
        return {};
    }
    const std::string end = faults.lfWithoutCr ? "\n" : "\r\n";
    const bool strange = faults.unknownFontName || faults.unknownFontLine == line;
    const char* font = strange ? kStrangeFontName : printerFontName(stored.printerFont);
    std::string reply;
    if (faults.overlongLineBytes > 0) {
        reply.append(faults.overlongLineBytes, '#').append(end);
    }
    reply += faults.textBeforeHeader + "Header " + std::to_string(line) + end;
    reply += std::string("font:    ") + font + end;
    reply += "text: " + end;
    reply += (stored.text.empty() ? std::string("Empty") : '"' + stored.text + '"') + end;
    reply += faults.noiseBetweenReplies;
    return reply;
}

}  // namespace kv31
