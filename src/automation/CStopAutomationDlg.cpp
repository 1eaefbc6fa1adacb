#include "CStopAutomationDlg.h"

#include "AutomationTexts.h"
#include "MessageBoxes.h"
#include "TimeText.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace kqvdr {
namespace {

QListWidget* oneLineList(int id) {
    auto* list = new QListWidget;
    list->setObjectName(QString::number(id));
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setFocusPolicy(Qt::NoFocus);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setFixedHeight(list->fontMetrics().height() + 2 * list->frameWidth() + 6);
    list->addItem(QString());
    return list;
}

} // namespace

CStopAutomationDlg::CStopAutomationDlg(const AutomationTable& table, const Clock& clock,
                                       const QString& mainCaption, MessageBoxes& messages,
                                       std::function<void()> stopAutomation, QWidget* parent)
    : QDialog(parent), table_(table), clock_(clock), messages_(messages), mainCaption_(mainCaption),
      stopAutomation_(std::move(stopAutomation)), timeList_(oneLineList(TimeList)),
      eventList_(oneLineList(EventList)) {
    setObjectName(QString::number(TemplateId));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(mainCaption + QStringLiteral(" - Automation"));

    auto* heading = new QLabel(QStringLiteral("AUTOMATION   IN   PROGRESS"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setAlignment(Qt::AlignCenter);

    // The labels stand over the columns of the event line, which the fixed-pitch font keeps.
    auto* labels = new QLabel(QStringLiteral("   Event     Start      End         Mode (Method)"));
    labels->setFont(eventList_->font());
    // The longest line, "GAS SAVE" with a two-digit method, whole, with the item's own margins.
    eventList_->setMinimumWidth(eventList_->fontMetrics().horizontalAdvance(QString(53, 'M')) +
                                2 * eventList_->frameWidth() + 12);

    // Neither button answers Return or Enter: a key pressed by chance must not end the night.
    auto* stop = new QPushButton(tr("Stop Automation"));
    stop->setObjectName(QString::number(StopButton));
    stop->setAutoDefault(false);
    auto* information = new QPushButton(tr("Information"));
    information->setObjectName(QString::number(InformationButton));
    information->setAutoDefault(false);
    connect(stop, &QPushButton::clicked, this, [this] {
        if (stopAutomation_) {
            stopAutomation_();
        }
    });
    connect(information, &QPushButton::clicked, this, &CStopAutomationDlg::showInformation);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(new QLabel(tr("Time")), 1, 0);
    grid->addWidget(labels, 1, 1);
    timeList_->setFixedWidth(
        timeList_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) +
        2 * timeList_->frameWidth() + 12);
    grid->addWidget(timeList_, 2, 0);
    grid->addWidget(eventList_, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stop);
    buttons->addWidget(information);
    buttons->addStretch();
    grid->addLayout(buttons, 3, 0, 1, 2);

    refresh();
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CStopAutomationDlg::refresh);
    timer_.start(100);
}

// The Information box is a child of this window and runs its own event loop, in which the
// tick that ends the automation may come: deleting the window then would take the box from
// under its own loop.
void CStopAutomationDlg::release() {
    released_ = true;
    timer_.stop();
    if (informationOpen_) {
        hide();
        return;
    }
    close();
}

// Escape and the close box do nothing while the automation runs.
void CStopAutomationDlg::reject() {
    if (released_) {
        QDialog::reject();
    }
}

void CStopAutomationDlg::closeEvent(QCloseEvent* event) {
    if (released_) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

// Only what changed is written, so the lines do not flicker ten times a second.
void CStopAutomationDlg::refresh() {
    const QString time = QString::fromStdString(currentTimeText(clock_));
    if (time != shownTime_) {
        shownTime_ = time;
        timeList_->item(0)->setText(time);
    }
    const QString line = QString::fromStdString(currentEventLine(table_));
    if (line != shownEvent_) {
        shownEvent_ = line;
        eventList_->item(0)->setText(line);
    }
}

void CStopAutomationDlg::showInformation() {
    MessageRequest request;
    request.caption = mainCaption_.toStdString();
    request.text = automationInformation(table_);
    request.icon = MessageIcon::Information;
    informationOpen_ = true;
    messages_.show(this, request);
    informationOpen_ = false;
    if (released_) {
        close();
    }
}

} // namespace kqvdr
