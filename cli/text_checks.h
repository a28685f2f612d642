#pragma once

#include <string>
#include <string_view>

// Whether a text may go to a header line, with a message that says why not and how much
// fits. The rules are protocol/header_text_rules.h's; these only word the answer.
namespace kv31cli {

// A text to write: the header editor's rules (characters 32 to 126, at most 32 of them,
// at most 380 dots in the font). Empty when it may be written.
std::string writeTextProblem(int line, int font, std::string_view text);

// A text from a backup, given back as the printer held it: its alignment spaces may make
// it longer than 32 characters, and it may hold bytes above 126 that the printer stored.
// It may not hold a control byte (below 32: an LF would end the command, an ESC start
// another), nor more than a header record holds, nor more than 380 dots in the font.
std::string storedTextProblem(int line, int font, std::string_view text);

}  // namespace kv31cli
