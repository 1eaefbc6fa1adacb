#include "CUsageDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kqvdr {
namespace {

constexpr int kFollowMs = 1000;

QString faultsText(const std::map<std::string, std::int64_t>& faults) {
    QStringList parts;
    for (const auto& [code, count] : faults) {
        parts << QStringLiteral("%1 %2").arg(QString::fromStdString(code)).arg(count);
    }
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral(", "));
}

} // namespace

CUsageDlg::CUsageDlg(Source source, const QString& title, QWidget* parent)
    : QDialog(parent), source_(std::move(source)), table_(new QTableWidget(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title + QStringLiteral(" - Instrument Usage"));
    table_->setObjectName(QStringLiteral("usage"));
    table_->setColumnCount(7);
    table_->setHorizontalHeaderLabels({QStringLiteral("Device Id"), QStringLiteral("First use"),
                                       QStringLiteral("Run (h)"), QStringLiteral("Gas Save (h)"),
                                       QStringLiteral("Heater on (h)"),
                                       QStringLiteral("Autozero runs"), QStringLiteral("Faults")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(760, 240);
    connect(&follow_, &QTimer::timeout, this, &CUsageDlg::refresh);
    follow_.start(kFollowMs);
    refresh();
}

void CUsageDlg::refresh() {
    const std::vector<InstrumentUsage> instruments = source_();
    table_->setRowCount(static_cast<int>(instruments.size()));
    for (std::size_t i = 0; i < instruments.size(); ++i) {
        const InstrumentUsage& usage = instruments[i];
        const QStringList cells = {QString::number(usage.deviceId),
                                   QString::fromStdString(usage.firstUse),
                                   QString::fromStdString(hoursText(usage.runSeconds)),
                                   QString::fromStdString(hoursText(usage.gasSaveSeconds)),
                                   QString::fromStdString(hoursText(usage.heaterSeconds)),
                                   QString::number(usage.autozeroCount),
                                   faultsText(usage.faults)};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column != 1 && column != 6) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            table_->setItem(static_cast<int>(i), column, item);
        }
    }
    table_->resizeColumnsToContents();
}

} // namespace kqvdr
