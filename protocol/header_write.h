#pragma once

#include <string>
#include <string_view>

#include "protocol/header_record.h"

namespace quillet {

// The header write command: "H<line>,<printer number>,\"", the leading spaces the
// alignment asks for, the text, "\"" and LF. False, with out left empty, for an
// alignment outside Left, Center, Right, a line outside 1 to 6, a font outside 0 to 6,
// or a text that does not fit.
bool composeHeaderWrite(int line, int font, Alignment alignment, std::string_view text,
                        std::string& out);

}  // namespace quillet
