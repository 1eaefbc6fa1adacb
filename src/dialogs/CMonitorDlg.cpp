#include "CMonitorDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace kqvdr {

CMonitorDlg::CMonitorDlg(std::function<MonitorReadings()> readings, const QString& mainTitle,
                         QWidget* parent)
    : QDialog(parent), readings_(std::move(readings)) {
    setObjectName(QStringLiteral("181"));
    setWindowTitle(mainTitle + QStringLiteral(" - Monitor"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    const QString captions[6] = {tr("Mode"),    tr("Evap"), tr("Neb"),
                                 tr("Exhaust"), tr("Gas"),  tr("Output")};
    const int ids[6] = {ModeValue,    EvaporatorValue, NebuliserValue,
                        ExhaustValue, GasValue,        OutputValue};
    for (int i = 0; i < 6; ++i) {
        auto* value = new QLabel;
        value->setObjectName(QString::number(ids[i]));
        value->setAutoFillBackground(true);
        QPalette colours = value->palette();
        colours.setColor(QPalette::Window, Qt::white);
        colours.setColor(QPalette::WindowText, Qt::black);
        value->setPalette(colours);
        value->setFrameShape(QFrame::Box);
        value->setMinimumWidth(
            value->fontMetrics().horizontalAdvance(QStringLiteral("Gas Save  ")) + 16);
        value->setAlignment(Qt::AlignCenter);
        grid->addWidget(new QLabel(captions[i]), i, 0);
        grid->addWidget(value, i, 1);
        values_[i] = value;
    }
    auto* back = new QPushButton(tr("Return to KQ- VDR 1000 Control "));
    back->setDefault(true);
    grid->addWidget(back, 6, 0, 1, 2);
    connect(back, &QPushButton::clicked, this, &QDialog::accept);
    // However it closes (the button, Escape, the close box), the main window comes back.
    connect(this, &QDialog::finished, this, &CMonitorDlg::returnRequested);
    refill();
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &CMonitorDlg::timerStep);
    timer_.start();
}

void CMonitorDlg::refill() {
    const MonitorReadings r = readings_();
    const std::string* texts[6] = {&r.mode,    &r.evaporator, &r.nebuliser,
                                   &r.exhaust, &r.gasFlow,    &r.output};
    for (int i = 0; i < 6; ++i) {
        values_[i]->setText(QString::fromStdString(*texts[i]));
    }
}

void CMonitorDlg::timerStep() {
    if (blankNext_) {
        values_[0]->clear();
    } else {
        refill();
    }
    blankNext_ = !blankNext_;
}

} // namespace kqvdr
