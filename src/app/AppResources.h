#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <string_view>

namespace kqvdr {

// The shell's pictures and help pages are compiled into the widget library, whose static
// linking would otherwise drop them; safe to call any number of times.
void initAppResources();

// Drawn from the SVG pictures without the image-format plugins (from PNGs drawn from them at
// build time where Qt has no SVG module).
QIcon svgIcon(const QString& resource);
QPixmap svgPixmap(const QString& resource, QSize size, qreal devicePixelRatio = 1.0);

inline QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline const QString appIconResource = QStringLiteral(":/icons/kqvdr1000.svg");
inline const QString splashResource = QStringLiteral(":/pictures/splash.svg");

} // namespace kqvdr
