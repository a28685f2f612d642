#include "ui/toolkit/qt/qt_bytes.h"

namespace quillet {

QString fromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        bytes.push_back(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : kUnrepresentable);
    }
    return bytes;
}

}  // namespace quillet
