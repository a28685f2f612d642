#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quillet::win32 {

// The toolkit's text is one byte per character, shown as Latin-1, whose 256 codes are the
// first 256 of UTF-16. A UTF-16 unit above them (a character the user entered that Latin-1
// cannot hold, or half of a surrogate pair) reads back as DEL, which no rule admits; one
// unit gives one byte, so character positions stay the control's own.
std::wstring widenLatin1(std::string_view text);
std::string narrowToLatin1(std::wstring_view text);

// GetWindowText of a window or control, as bytes.
std::string windowText(HWND window);

}  // namespace quillet::win32
