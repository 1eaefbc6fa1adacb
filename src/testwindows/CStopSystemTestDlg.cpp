#include "CStopSystemTestDlg.h"

#include "Clock.h"
#include "SystemTestControl.h"
#include "TimeText.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace kqvdr {
namespace {

constexpr QPoint kScreenPosition{258, 220};

QLabel* label(const QString& text, int id, Qt::Alignment alignment) {
    auto* shown = new QLabel(text);
    shown->setObjectName(QString::number(id));
    shown->setAlignment(alignment);
    return shown;
}

} // namespace

CStopSystemTestDlg::CStopSystemTestDlg(const QString& caption, const QString& startTime,
                                       const QString& endTime, const Clock& clock,
                                       std::function<void()> stopTest, QWidget* parent)
    : QDialog(parent), clock_(clock), stopTest_(std::move(stopTest)), startTime_(startTime),
      endTime_(endTime), bar_(new QProgressBar),
      percentLabel_(label(QStringLiteral("0 %"), PercentLabel, Qt::AlignHCenter)) {
    setWindowTitle(caption);
    setObjectName(QString::number(TemplateId));
    setAttribute(Qt::WA_DeleteOnClose);
    bar_->setObjectName(QString::number(ProgressBar));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);

    // Not pressed by Return or Enter: a key pressed by chance must not end the night's test.
    auto* stop = new QPushButton(QStringLiteral("Stop System Test"));
    stop->setObjectName(QString::number(StopButton));
    stop->setAutoDefault(false);
    connect(stop, &QPushButton::clicked, this, [this] {
        released_ = true;
        stopTest_();
        close();
    });

    auto* title = new QLabel(QStringLiteral("SYSTEM TEST IN PROGRESS"));
    title->setAlignment(Qt::AlignHCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto* layout = new QGridLayout(this);
    layout->addWidget(title, 0, 0, 1, 3);
    layout->addWidget(bar_, 1, 0, 1, 3);
    layout->addWidget(label(startTime, StartLabel, Qt::AlignLeft), 2, 0);
    layout->addWidget(percentLabel_, 2, 1);
    layout->addWidget(label(endTime, EndLabel, Qt::AlignRight), 2, 2);
    layout->addWidget(stop, 3, 0, 1, 3, Qt::AlignHCenter);
    move(kScreenPosition);

    connect(&timer_, &QTimer::timeout, this, &CStopSystemTestDlg::refresh);
    timer_.start(1000);
}

void CStopSystemTestDlg::refresh() {
    if (!counting_ || percent_ >= 100) {
        return;
    }
    percent_ = testProgressPercent(startTime_.toStdString(), endTime_.toStdString(),
                                   currentTimeText(clock_), counting_);
    bar_->setValue(percent_);
    percentLabel_->setText(QString::number(percent_) + QStringLiteral(" %"));
}

void CStopSystemTestDlg::release() {
    released_ = true;
    timer_.stop();
    close();
}

void CStopSystemTestDlg::reject() {
    if (released_) {
        QDialog::reject();
    }
}

void CStopSystemTestDlg::closeEvent(QCloseEvent* event) {
    if (!released_) {
        event->ignore(); // the title bar's close would end an overnight run unnoticed
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace kqvdr
