#pragma once

#include <QDialog>

class QComboBox;

namespace kqvdr {

class CTrendChart;
class TrendRing;

// View > Trends: the chart with its choice of span. The ring keeps filling while this window is
// closed; opening it shows what has been collected.
class CTrendsDlg : public QDialog {
    Q_OBJECT
public:
    CTrendsDlg(const TrendRing& ring, const QString& title, QWidget* parent = nullptr);

    void sampleAdded();
    CTrendChart& chart() { return *chart_; }

private:
    QComboBox* span_;
    CTrendChart* chart_;
};

} // namespace kqvdr
