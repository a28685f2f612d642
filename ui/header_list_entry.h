#pragma once

#include <string>

#include "protocol/header_record.h"

namespace quillet {

// The main window's list entry of line 1 to 6 read back into record: its text without the
// leading spaces that align it (the record keeps them), or "<blank>" when it has none.
std::string headerListEntry(int line, const HeaderRecord& record);

// The entry of a line whose readback failed.
std::string loadingErrorEntry(int line);

}  // namespace quillet
