#include "CRemoteControlDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
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
}

QString CRemoteControlDlg::text() const {
    QString plain;
    for (const auto& [label, value] : rows_()) {
        plain += QString::fromStdString(label + ": " + value + "\n");
    }
    return plain;
}

} // namespace kqvdr
