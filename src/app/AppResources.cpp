#include "AppResources.h"

#include <QPainter>
#ifdef KQVDR_PICTURES_AS_PNG
#include <QFile>
#else
#include <QSvgRenderer>
#endif

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourcesOnce() {
    Q_INIT_RESOURCE(help);
#ifdef KQVDR_PICTURES_AS_PNG
    Q_INIT_RESOURCE(pictures_png);
#else
    Q_INIT_RESOURCE(pictures);
#endif
}

namespace kqvdr {
namespace {

#ifdef KQVDR_PICTURES_AS_PNG
// The widths the build drew each picture at (cmake/PngPictures.cmake); the nearest one at or
// above the wanted width is scaled down, so a picture is never blown up where a larger exists.
constexpr int kDrawnWidths[] = {16, 22, 24, 32, 48, 64, 96, 128, 192, 480, 960};

QImage drawnPicture(const QString& resource, int width) {
    QString base = resource;
    base.chop(4); // ".svg"
    QImage best;
    for (const int drawn : kDrawnWidths) {
        const QString name = base + QLatin1Char('-') + QString::number(drawn) + ".png";
        if (!QFile::exists(name)) {
            continue;
        }
        best = QImage(name);
        if (drawn >= width) {
            break;
        }
    }
    return best;
}
#endif

void drawPicture(QPainter& painter, const QString& resource, QSize pixels) {
#ifdef KQVDR_PICTURES_AS_PNG
    const QImage picture = drawnPicture(resource, pixels.width());
    if (!picture.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), pixels), picture);
    }
#else
    QSvgRenderer renderer(resource);
    if (renderer.isValid()) {
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
#endif
}

} // namespace

void initAppResources() {
    initResourcesOnce();
}

QPixmap svgPixmap(const QString& resource, QSize size, qreal devicePixelRatio) {
    initAppResources();
    const QSize pixels = size * devicePixelRatio;
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        drawPicture(painter, resource, pixels);
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
