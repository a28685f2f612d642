#include "ui/resources/icons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QSvgRenderer>

#include "ui/resources/dialog_templates.h"

// The resource object lives in a static library, so it is registered by hand.
static void registerIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace quillet {
namespace {

QPixmap renderSvg(QSvgRenderer& renderer, int side, qreal ratio) {
    QPixmap pixmap(side * ratio, side * ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon appIcon() {
    // Drawn afresh each time: a cached pixmap would outlive the application object.
    registerIconResources();
    QSvgRenderer renderer(QStringLiteral(":/quillet/app_icon.svg"));
    QIcon icon;
    for (int side : {16, 24, 32, 48}) {
        for (qreal ratio : {1.0, 2.0}) {
            icon.addPixmap(renderSvg(renderer, side, ratio));
        }
    }
    return icon;
}

}  // namespace

QIcon loadIcon(int id) {
    switch (id) {
        case kAppIconId:
            return appIcon();
        case kWarningIconId:
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        default:
            return {};
    }
}

}  // namespace quillet
