#pragma once

#include "protocol/header_record.h"

namespace quillet {

// Checks the four reply lines (terminators already dropped) to a header query for
// line 1 to 6. On success sets record; on failure leaves it as it was.
bool parseHeaderReply(int line, const char* const replyLines[4], HeaderRecord& record);

// Sends the header query for line 1 to 6 and parses the reply from the receive ring.
bool readHeader(int line, HeaderRecord& record);

}  // namespace quillet
