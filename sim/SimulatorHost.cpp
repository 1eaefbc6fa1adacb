#include "SimulatorHost.h"

#include <cmath>

namespace kqvdr::sim {

SimulatorHost::SimulatorHost(const SimulatorOptions& options, std::function<double()> time,
                             QObject* parent)
    : QObject(parent), instrument_(options), time_(std::move(time)) {
    clock_.start();
    outputTimer_.setSingleShot(true);
    outputTimer_.setTimerType(Qt::PreciseTimer);
    connect(&outputTimer_, &QTimer::timeout, this, &SimulatorHost::serve);
    if (!port_.isOpen()) {
        return;
    }
    readable_ = std::make_unique<QSocketNotifier>(port_.fd(), QSocketNotifier::Read);
    connect(readable_.get(), &QSocketNotifier::activated, this, &SimulatorHost::serve);
}

void SimulatorHost::unplug() {
    readable_.reset();
    outputTimer_.stop();
    port_.close();
}

void SimulatorHost::plugBack() {
    unplug();
    port_.reopen();
    if (port_.isOpen()) {
        readable_ = std::make_unique<QSocketNotifier>(port_.fd(), QSocketNotifier::Read);
        connect(readable_.get(), &QSocketNotifier::activated, this, &SimulatorHost::serve);
    }
}

SimulatorHost::~SimulatorHost() {
    readable_.reset();
    port_.close();
}

QString SimulatorHost::control(const QString& line) {
    const std::string answer = instrument_.control(line.toStdString(), now());
    scheduleOutput();
    return QString::fromStdString(answer);
}

void SimulatorHost::serve() {
    const double t = now();
    const std::string incoming = port_.readAvailable();
    if (!incoming.empty()) {
        instrument_.receive(incoming, t);
    }
    port_.write(instrument_.takeOutput(t));
    scheduleOutput();
}

void SimulatorHost::scheduleOutput() {
    if (port_.hasPendingWrite()) {
        outputTimer_.start(10);
        return;
    }
    const auto due = instrument_.nextOutputDue();
    if (due) {
        outputTimer_.start(std::max(0, static_cast<int>(std::ceil((*due - now()) * 1000))));
    }
}

} // namespace kqvdr::sim
