// Draws the main window as a 1366 x 768 laptop screen at 125 % shows it: the program running
// against the simulated instrument, with the room a Windows taskbar and title bar leave it.
// Writes NAME.png (as it opens) and NAME-scrolled.png (the form scrolled to its end).
//
//   kqvdr-window-screenshot NAME
#include "CMainFrame.h"
#include "CommandId.h"
#include "Night.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kWidth = 1366;
constexpr int kHeight = 768;
constexpr double kScale = 1.25;
// Windows 10 at 125 %, in the program's own (logical) pixels: a 48-pixel taskbar, and a fixed
// window's caption and borders.
constexpr int kTaskbar = 40;
const QMargins kFrame(8, 31, 8, 8);

QImage screenImage(kqvdr::CMainFrame& frame, const QRect& available) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor(0x1f, 0x4e, 0x79));
    QPainter painter(&image);
    painter.scale(kScale, kScale);
    const QRectF screen(0, 0, kWidth / kScale, kHeight / kScale);
    painter.fillRect(QRectF(0, available.bottom() + 1, screen.width(), screen.height()),
                     QColor(0x20, 0x20, 0x20));
    const QRect window = frame.geometry();
    const QRect outer = window.marginsAdded(kFrame);
    painter.fillRect(outer, QColor(0xff, 0xff, 0xff));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(outer.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawText(QRect(outer.left() + 12, outer.top(), outer.width() - 24, kFrame.top()),
                     Qt::AlignVCenter | Qt::AlignLeft, frame.windowTitle());
    painter.drawPixmap(window.topLeft(), frame.grab());
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s NAME\n", argv[0]);
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir configDir;
    const QString config = configDir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        return 1;
    }
    file.write(QStringLiteral("{\"screens\": [{\"name\": \"laptop\", \"x\": 0, \"y\": 0, "
                              "\"width\": %1, \"height\": %2, \"logicalDpi\": 96, "
                              "\"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                   .arg(kWidth)
                   .arg(kHeight)
                   .toUtf8());
    file.close();
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
    QByteArray platform = "offscreen:configfile=" + config.toLocal8Bit();
    char platformOption[] = "-platform";
    char* arguments[] = {argv[0], platformOption, platform.data(), nullptr};
    int count = 3;
    QApplication app(count, arguments);

    kqvdr::test::Night night(kqvdr::test::localDate(2027, 3, 22, 17, 59, 0));
    night.at("MON 17:59:02", [&night] { night.command(kqvdr::CommandId::StartLogging); });
    night.runUntil("MON 18:01:00");

    kqvdr::CMainFrame& frame = night.frame();
    QRect available = frame.screen()->geometry();
    available.setBottom(available.bottom() - kTaskbar);
    frame.fitInto(available, kFrame);
    QRect outer = frame.geometry().marginsAdded(kFrame);
    outer.moveCenter(available.center());
    frame.move(outer.topLeft() + QPoint(kFrame.left(), kFrame.top()));
    QApplication::processEvents();
    std::printf("screen %dx%d logical, room %dx%d, window %dx%d, form %dx%d in %dx%d\n",
                frame.screen()->geometry().width(), frame.screen()->geometry().height(),
                available.width(), available.height(), frame.width(), frame.height(),
                frame.formWidget()->width(), frame.formWidget()->height(),
                frame.formArea()->viewport()->width(), frame.formArea()->viewport()->height());

    bool saved = screenImage(frame, available).save(name + QStringLiteral(".png"));
    QScrollBar* bar = frame.formArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    QApplication::processEvents();
    saved = screenImage(frame, available).save(name + QStringLiteral("-scrolled.png")) && saved;
    return saved ? 0 : 1;
}
