#pragma once

#include <string>
#include <string_view>

namespace kv31cli {

// Command bytes as a person reads them: ESC as <ESC>, LF as <LF>, CR as <CR>, any other
// byte outside 32 to 126 as <xNN>; the rest as it is.
std::string readableCommand(std::string_view bytes);

// A header text in double quotes, every byte visible: a double quote and a backslash
// escaped with a backslash, bytes outside 32 to 126 as \xNN, leading spaces kept.
std::string quotedText(std::string_view text);

}  // namespace kv31cli
