#pragma once

#include "PseudoTerminalPort.h"
#include "SimulatedInstrument.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>

namespace kqvdr::sim {

// Runs the simulated instrument inside the program: owns the pseudo-terminal and serves it from
// the Qt event loop, so the program can open slavePath() through its ordinary serial driver.
class SimulatorHost : public QObject {
    Q_OBJECT
public:
    // `time` gives the instrument's time in seconds on any steady scale; real time when empty.
    explicit SimulatorHost(const SimulatorOptions& options, std::function<double()> time = {},
                           QObject* parent = nullptr);
    ~SimulatorHost() override;

    bool isOpen() const { return port_.isOpen(); }
    QString errorText() const { return QString::fromStdString(port_.error()); }
    QString slavePath() const { return QString::fromStdString(port_.slavePath()); }

    // The adapter pulled out: the line hangs up. The instrument itself runs on.
    void unplug();
    // The adapter put back, on a new pseudo-terminal (a new slavePath()).
    void plugBack();

    // The same control words as the stand-alone simulator's standard input.
    QString control(const QString& line);

    SimulatedInstrument& instrument() { return instrument_; }

private:
    double now() const {
        return time_ ? time_() : static_cast<double>(clock_.nsecsElapsed()) / 1e9;
    }
    void serve();
    void scheduleOutput();

    PseudoTerminalPort port_;
    SimulatedInstrument instrument_;
    QElapsedTimer clock_;
    std::function<double()> time_;
    std::unique_ptr<QSocketNotifier> readable_;
    QTimer outputTimer_;
};

} // namespace kqvdr::sim
