#include "CRemoteControlDlg.h"

#include "MessageBoxes.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kqvdr {

CRemoteControlDlg::CRemoteControlDlg(const QString& title, std::function<Rows()> rows,
                                     QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)), table_(new QLabel(this)) {
    setWindowTitle(title + QStringLiteral(" - Remote control (SiLA 2)"));
    setAttribute(Qt::WA_DeleteOnClose);
    table_->setObjectName(QStringLiteral("status"));
    table_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table_->setTextFormat(Qt::RichText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    releaseButton_ =
        buttons->addButton(QStringLiteral("&Release lock..."), QDialogButtonBox::ActionRole);
    releaseButton_->setObjectName(QStringLiteral("releaseLock"));
    // Enter never starts taking the instrument from a scheduler.
    releaseButton_->setAutoDefault(false);
    releaseButton_->setVisible(false);
    connect(releaseButton_, &QPushButton::clicked, this, &CRemoteControlDlg::releaseLock);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CRemoteControlDlg::refresh);
    timer->start(1000);
    refresh();
}

void CRemoteControlDlg::refresh() {
    QString html = QStringLiteral("<table cellspacing=\"4\">");
    for (const auto& [label, value] : rows_()) {
        html += QStringLiteral("<tr><td>%1:</td><td>%2</td></tr>")
                    .arg(QString::fromStdString(label).toHtmlEscaped(),
                         QString::fromStdString(value).toHtmlEscaped());
    }
    table_->setText(html + QStringLiteral("</table>"));
    releaseButton_->setVisible(lockRelease_.holder && lockRelease_.holder().has_value());
}

void CRemoteControlDlg::offerLockRelease(LockRelease release, MessageBoxes& messages) {
    lockRelease_ = std::move(release);
    messages_ = &messages;
    refresh();
}

void CRemoteControlDlg::releaseLock() {
    const auto holder = lockRelease_.holder ? lockRelease_.holder() : std::nullopt;
    if (!holder || messages_ == nullptr) {
        refresh();
        return;
    }
    const MessageAnswer answer = messages_->show(
        this, {windowTitle().toStdString(),
               "\nRelease the lock that remote control (" + *holder +
                   ") holds?\n\nA scheduler may be running the instrument through it. Its next "
                   "call with the lock's identifier is refused, and the panel can be used "
                   "again.\n",
               MessageIcon::Question, MessageButtons::YesNo});
    if (answer == MessageAnswer::Yes) {
        lockRelease_.release();
    }
    refresh();
}

QString CRemoteControlDlg::text() const {
    QString plain;
    for (const auto& [label, value] : rows_()) {
        plain += QString::fromStdString(label + ": " + value + "\n");
    }
    return plain;
}

} // namespace kqvdr
