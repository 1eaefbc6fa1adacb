#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace kqvdr {

// Owns the 100 ms tick. A QTimer does not fire again while its own slot runs, so a dialog
// opened from inside a tick would stop the heartbeat; runModal() keeps ticks arriving nested
// inside such dialogs with a timer of their own, depth by depth.
class Heartbeat : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kPeriod{100};

    // A test may beat faster than the instrument's 100 ms while it moves a clock of its own.
    explicit Heartbeat(std::function<void()> tick, std::chrono::milliseconds period = kPeriod,
                       QObject* parent = nullptr);

    bool start();
    // For good: the program is ending.
    void stop();
    bool inTick() const { return depth_ > 0; }
    int ticks() const { return ticks_; }

    // Runs a modal dialog (or anything with an event loop of its own).
    void runModal(const std::function<void()>& dialog);

signals:
    // Just before every tick, nested ones included.
    void aboutToTick();
    // Just after every tick, nested ones included; inTick() tells whether an outer one goes on.
    void ticked();

private:
    void fire();

    std::function<void()> tick_;
    std::chrono::milliseconds period_;
    QTimer timer_;
    int depth_ = 0;
    int ticks_ = 0;
};

} // namespace kqvdr
