#pragma once

#include "MonitorReadings.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;

namespace kqvdr {

// A small window of live readings for when the main window is minimised. The mode blinks and
// the readings refresh every two seconds.
class CMonitorDlg : public QDialog {
    Q_OBJECT
public:
    enum Control : int {
        ModeValue = 1124,
        EvaporatorValue = 1120,
        NebuliserValue = 1119,
        ExhaustValue = 1129,
        GasValue = 1121,
        OutputValue = 1128,
    };

    CMonitorDlg(std::function<MonitorReadings()> readings, const QString& mainTitle,
                QWidget* parent = nullptr);

    // One step of the one-second timer: blank the mode, or refill everything.
    void timerStep();

signals:
    void returnRequested();

private:
    void refill();

    std::function<MonitorReadings()> readings_;
    QLabel* values_[6];
    QTimer timer_;
    bool blankNext_ = true;
};

} // namespace kqvdr
