#include "CAuditTrailDlg.h"

#include "AuditLine.h"
#include "AuditVerifier.h"
#include "FileTail.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace kqvdr {
namespace {

constexpr int kFollowMs = 1000;
// Old and new values of a method download are long: they are cut here and shown whole in
// their tool tip.
constexpr int kValueColumnWidth = 220;
constexpr int kOldValueColumn = 5;

QString chainText(const AuditVerification& result) {
    if (!result.readable) {
        return QStringLiteral("No audit trail has been written yet.");
    }
    if (result.intact()) {
        const QString intact =
            QStringLiteral("Chain intact: %1 lines, none changed, inserted or removed.")
                .arg(result.lines);
        if (result.powerCuts.empty()) {
            return intact;
        }
        return intact + QStringLiteral(" Line %1 was cut off by a power cut; the next start "
                                       "recorded it.")
                            .arg(result.powerCuts.back().line);
    }
    const AuditBreak& first = result.breaks.front();
    return QStringLiteral("Chain broken at line %1: %2 (%3 breaks in all).")
        .arg(first.line)
        .arg(QString::fromStdString(first.reason))
        .arg(result.breaks.size());
}

} // namespace

CAuditTrailDlg::CAuditTrailDlg(std::filesystem::path file, const QString& title, QWidget* parent)
    : QDialog(parent), file_(std::move(file)), search_(new QLineEdit(this)),
      chainStatus_(new QLabel(this)), lines_(new QTableWidget(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title + QStringLiteral(" - Audit Trail"));
    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(QStringLiteral("Search"));
    search_->setClearButtonEnabled(true);
    chainStatus_->setObjectName(QStringLiteral("chainStatus"));
    lines_->setObjectName(QStringLiteral("lines"));
    lines_->setColumnCount(7);
    lines_->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("Time"),
                                       QStringLiteral("User"), QStringLiteral("Event"),
                                       QStringLiteral("Subject"), QStringLiteral("Old value"),
                                       QStringLiteral("New value")});
    lines_->verticalHeader()->hide();
    lines_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    lines_->setWordWrap(false);
    lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lines_->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(chainStatus_);
    layout->addWidget(lines_);
    resize(900, 500);
    connect(search_, &QLineEdit::textChanged, this, &CAuditTrailDlg::applySearch);
    connect(&follow_, &QTimer::timeout, this, &CAuditTrailDlg::refresh);
    follow_.start(kFollowMs);
    refresh();
}

void CAuditTrailDlg::refresh() {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file_, error);
    const std::filesystem::file_time_type time = std::filesystem::last_write_time(file_, error);
    if (!error && size == shownSize_ && time == shownTime_) {
        return;
    }
    shownSize_ = error ? 0 : size;
    shownTime_ = error ? std::filesystem::file_time_type() : time;
    reload();
}

void CAuditTrailDlg::reload() {
    chainStatus_->setText(chainText(verifyAuditFile(file_)));
    FileTail tail;
    readFileTail(file_, kTailBytes, tail);
    const std::size_t count = std::min(tail.lines.size(), static_cast<std::size_t>(kShownLines));
    lines_->setRowCount(static_cast<int>(count));
    for (std::size_t row = 0; row < count; ++row) {
        const std::string& line = tail.lines[tail.lines.size() - 1 - row];
        const auto parts = parseAuditLine(line);
        const auto fields = auditFields(line);
        QStringList cells;
        if (parts && fields) {
            cells = {
                QString::number(parts->sequence),        QString::fromStdString(fields->time),
                QString::fromStdString(fields->user),    QString::fromStdString(fields->event),
                QString::fromStdString(fields->subject), QString::fromStdString(fields->oldValue),
                QString::fromStdString(fields->newValue)};
        } else {
            cells = {QString(), QString(), QString(), QStringLiteral("(damaged line)"),
                     QString::fromStdString(line)};
        }
        for (int column = 0; column < lines_->columnCount(); ++column) {
            auto* item = new QTableWidgetItem(column < cells.size() ? cells[column] : QString());
            item->setToolTip(item->text());
            lines_->setItem(static_cast<int>(row), column, item);
        }
    }
    lines_->resizeColumnsToContents();
    for (int column = kOldValueColumn; column < lines_->columnCount(); ++column) {
        lines_->setColumnWidth(column, std::min(lines_->columnWidth(column), kValueColumnWidth));
    }
    applySearch();
}

void CAuditTrailDlg::applySearch() {
    const QString text = search_->text().trimmed();
    for (int row = 0; row < lines_->rowCount(); ++row) {
        bool match = text.isEmpty();
        for (int column = 0; !match && column < lines_->columnCount(); ++column) {
            const QTableWidgetItem* item = lines_->item(row, column);
            match = item != nullptr && item->text().contains(text, Qt::CaseInsensitive);
        }
        lines_->setRowHidden(row, !match);
    }
}

} // namespace kqvdr
