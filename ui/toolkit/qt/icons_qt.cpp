// Icons and strings from the catalogue the application installed.
//
// Where they still differ from a program's resources:
// - Icon 133 is the platform's warning icon, not our own drawing.
// - String 101 comes from the catalogue, not from the .rc.
#include <QApplication>
#include <QByteArray>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QSvgRenderer>

#include "ui/toolkit/qt/qt_icons.h"

namespace quillet {
namespace {

QPixmap renderSvg(QSvgRenderer& renderer, int side, qreal ratio) {
    QPixmap pixmap(static_cast<int>(side * ratio), static_cast<int>(side * ratio));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

// Drawn afresh each time: a cached pixmap would outlive the application object.
QIcon drawnIcon(std::span<const unsigned char> svg) {
    const QByteArray text(reinterpret_cast<const char*>(svg.data()),
                          static_cast<qsizetype>(svg.size()));
    QSvgRenderer renderer(text);
    if (!renderer.isValid()) {
        return {};
    }
    QIcon icon;
    for (int side : {16, 24, 32, 48}) {
        for (qreal ratio : {1.0, 2.0}) {
            icon.addPixmap(renderSvg(renderer, side, ratio));
        }
    }
    return icon;
}

}  // namespace

Icon Icon::load(int id) {
    return findIconResource(id) != nullptr ? Icon(id) : Icon();
}

QIcon qtIcon(const Icon& icon) {
    const IconResource* resource = icon.isNull() ? nullptr : findIconResource(icon.id());
    if (resource == nullptr) {
        return {};
    }
    if (resource->source == IconSource::SystemWarning) {
        QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        if (!warning.isNull()) {
            return warning;
        }
    }
    return drawnIcon(resource->svg);
}

const char* loadStringResource(int id) {
    const StringResource* resource = findStringResource(id);
    return resource != nullptr && resource->text != nullptr ? resource->text : "";
}

}  // namespace quillet
