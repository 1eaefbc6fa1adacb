#pragma once

#include "InstrumentUsage.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <vector>

class QTableWidget;

namespace kqvdr {

// Help > Instrument Usage: the counters of every instrument the program has seen, one row each,
// refreshed while open so that they can be watched growing.
class CUsageDlg : public QDialog {
    Q_OBJECT
public:
    using Source = std::function<std::vector<InstrumentUsage>()>;

    CUsageDlg(Source source, const QString& title, QWidget* parent = nullptr);

    void refresh();

private:
    Source source_;
    QTableWidget* table_;
    QTimer follow_;
};

} // namespace kqvdr
