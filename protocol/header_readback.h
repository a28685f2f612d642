#pragma once

#include <array>
#include <string_view>

#include "protocol/header_record.h"

namespace quillet {

// The four lines of a reply to a header query, terminators already dropped; any byte
// value, NUL included, may be part of a line.
using HeaderReplyLines = std::array<std::string_view, 4>;

// Checks the reply to a header query for line 1 to 6. On success sets record; on failure
// leaves it as it was. A NUL inside the quoted text fails: a record's text ends at its
// first NUL, so the text could not be held whole.
bool parseHeaderReply(int line, const HeaderReplyLines& replyLines, HeaderRecord& record);

// Sends the header query for line 1 to 6 and parses the reply from the receive ring.
bool readHeader(int line, HeaderRecord& record);

}  // namespace quillet
