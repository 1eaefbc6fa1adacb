#include "CSplashDlg.h"

#include "AppResources.h"
#include "MessageBoxes.h"

#include <QLabel>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>
#include <QVBoxLayout>

namespace kqvdr {

CSplashDlg::CSplashDlg(MessageBoxes& messageBoxes, const QString& appTitle, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), messageBoxes_(messageBoxes),
      appTitle_(appTitle) {
    setObjectName(QStringLiteral("splash"));
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("splashPicture"));
    picture->setPixmap(svgPixmap(splashResource, pictureSize, devicePixelRatioF()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
    setFixedSize(pictureSize);
}

void CSplashDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) {
        return;
    }
    started_ = true;
    timerId_ = startCloseTimer(periodMs);
    if (timerId_ == 0) {
        messageBoxes_.show(this, {appTitle_.toStdString(), "Cannot install Splash Timer",
                                  MessageIcon::Exclamation, MessageButtons::Ok});
        // Without its timer the splash would never go; let the program carry on.
        closeOnceShown(QThread::currentThread()->loopLevel());
    }
}

void CSplashDlg::closeOnceShown(int loopLevelWhenShown) {
    // Showing a splash screen runs pending events before exec() enters its own loop; closing
    // from there would leave exec() waiting for ever.
    QTimer::singleShot(0, this, [this, loopLevelWhenShown] {
        const bool execLoopRuns = QThread::currentThread()->loopLevel() > loopLevelWhenShown;
        if (execLoopRuns || !testAttribute(Qt::WA_ShowModal)) {
            done(1);
        } else {
            closeOnceShown(loopLevelWhenShown);
        }
    });
}

int CSplashDlg::startCloseTimer(int period) {
    return startTimer(period, Qt::PreciseTimer);
}

void CSplashDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timerId_) {
        QDialog::timerEvent(event);
        return;
    }
    killTimer(timerId_);
    timerId_ = 0;
    done(1);
}

} // namespace kqvdr
