#include "CViewLogDlg.h"

#include "LogLine.h"
#include "MessageBoxes.h"
#include "RecentLines.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace kqvdr {

CViewLogDlg::CViewLogDlg(const RecentLines& lines, const QString& appTitle, MessageBoxes& messages,
                         QWidget* parent, int maxLines)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      lines_(lines), list_(new QListWidget(this)), maxLines_(maxLines) {
    setObjectName(QStringLiteral("175"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    list_->setObjectName(QString::number(LineList));
    list_->setFont(fixed);
    list_->setSortingEnabled(false);
    list_->setUniformItemSizes(true);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The headings start where the list draws its text: inside its frame and the item margin.
    const int textIndent =
        list_->frameWidth() +
        list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    const std::array<std::string, 2> headings = displayHeadings();
    auto* headingLabel = new QLabel(QString::fromStdString(headings[0] + "\n" + headings[1]), this);
    headingLabel->setObjectName(QStringLiteral("headings"));
    headingLabel->setFont(fixed);
    headingLabel->setTextFormat(Qt::PlainText);
    headingLabel->setContentsMargins(textIndent, 0, 0, 0);

    const QFontMetrics metrics(fixed);
    list_->setMinimumSize(
        metrics.horizontalAdvance(QString::fromStdString(headings[1])) + 2 * textIndent +
            list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_) + 8,
        metrics.lineSpacing() * 24);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    layout->addWidget(headingLabel);
    layout->addWidget(list_, 1);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &CViewLogDlg::refresh);
    timer_.start();
    if (!timer_.isActive()) {
        messages.show(this, {appTitle.toStdString(), "Problem Setting Log View Timer",
                             MessageIcon::Exclamation, MessageButtons::Ok});
    }

    list_->clear();
    for (const std::string& line : lines_.oldestFirst()) {
        append(line);
    }
    shownLast_ = lines_.lastLine();
    setWindowTitle(appTitle + QStringLiteral(" - View Operational Log"));
    list_->scrollToBottom();
}

void CViewLogDlg::append(const std::string& line) {
    list_->addItem(QString::fromStdString(line));
    while (list_->count() > maxLines_) {
        delete list_->takeItem(0);
    }
}

void CViewLogDlg::refresh() {
    if (lines_.lastLine() == shownLast_) {
        return;
    }
    shownLast_ = lines_.lastLine();
    // Follow new lines only when the newest is in view, so that reading back is not disturbed.
    const QScrollBar* bar = list_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    append(shownLast_);
    if (following) {
        list_->scrollToBottom();
    }
}

} // namespace kqvdr
