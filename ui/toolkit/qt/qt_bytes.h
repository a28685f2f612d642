#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillet {

// Text crosses the toolkit as bytes, one a character, shown as Latin-1. A character that
// Latin-1 cannot hold reads back as DEL, which no rule admits.
inline constexpr char kUnrepresentable = 0x7F;

QString fromBytes(std::string_view bytes);
std::string toBytes(const QString& text);

}  // namespace quillet
