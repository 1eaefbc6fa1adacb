#include "AppResources.h"

#include <QPainter>
#include <QSvgRenderer>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourcesOnce() {
    Q_INIT_RESOURCE(app);
}

namespace kqvdr {

void initAppResources() {
    initResourcesOnce();
}

QPixmap svgPixmap(const QString& resource, QSize size, qreal devicePixelRatio) {
    initAppResources();
    QSvgRenderer renderer(resource);
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon svgIcon(const QString& resource) {
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        icon.addPixmap(svgPixmap(resource, QSize(side, side)));
    }
    return icon;
}

} // namespace kqvdr
