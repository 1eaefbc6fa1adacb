#include "CTrendsDlg.h"

#include "CTrendChart.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kqvdr {

CTrendsDlg::CTrendsDlg(const TrendRing& ring, const QString& title, QWidget* parent)
    : QDialog(parent), span_(new QComboBox(this)), chart_(new CTrendChart(ring, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title + QStringLiteral(" - Trends"));
    span_->setObjectName(QStringLiteral("span"));
    span_->addItem(QStringLiteral("10 min"), 600);
    span_->addItem(QStringLiteral("1 h"), 3600);
    span_->addItem(QStringLiteral("8 h"), 8 * 3600);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Span:"), this));
    top->addWidget(span_);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(chart_, 1);
    connect(span_, &QComboBox::currentIndexChanged, this,
            [this] { chart_->setSpanSeconds(span_->currentData().toInt()); });
    chart_->setSpanSeconds(span_->currentData().toInt());
}

void CTrendsDlg::sampleAdded() {
    chart_->sampleAdded();
}

} // namespace kqvdr
