#include "Heartbeat.h"

namespace kqvdr {

Heartbeat::Heartbeat(std::function<void()> tick, std::chrono::milliseconds period, QObject* parent)
    : QObject(parent), tick_(std::move(tick)), period_(period) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(period_);
    connect(&timer_, &QTimer::timeout, this, &Heartbeat::fire);
}

bool Heartbeat::start() {
    timer_.start();
    return timer_.isActive();
}

void Heartbeat::stop() {
    timer_.stop();
}

void Heartbeat::fire() {
    ++depth_;
    ++ticks_;
    emit aboutToTick();
    tick_();
    --depth_;
    emit ticked();
}

void Heartbeat::runModal(const std::function<void()>& dialog) {
    if (depth_ == 0) {
        dialog(); // the main timer keeps firing in the dialog's event loop
        return;
    }
    QTimer nested;
    nested.setTimerType(Qt::PreciseTimer);
    nested.setInterval(period_);
    connect(&nested, &QTimer::timeout, this, &Heartbeat::fire);
    nested.start();
    dialog();
}

} // namespace kqvdr
