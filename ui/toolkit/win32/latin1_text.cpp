#include "ui/toolkit/win32/latin1_text.h"

namespace quillet::win32 {

namespace {
constexpr char kUnrepresentable = 127;
}

std::wstring widenLatin1(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
    return wide;
}

std::string narrowToLatin1(std::wstring_view text) {
    std::string narrow(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<unsigned>(text[i]);
        narrow[i] = unit <= 0xFF ? static_cast<char>(unit) : kUnrepresentable;
    }
    return narrow;
}

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrowToLatin1(text);
}

}  // namespace quillet::win32
