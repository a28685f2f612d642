#pragma once

#include <string>

#include "emulator/kv31_emulator.h"

namespace kv31 {

// The bytes the printer sends for a header query of line 1 to 6, with the faults that
// shape them applied; empty when the printer keeps silent. Delays and vanishing are
// the sender's business.
std::string buildReply(int line, const StoredLine& stored, const Faults& faults);

}  // namespace kv31
