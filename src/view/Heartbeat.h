#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace kqvdr {

// Owns the 100 ms tick. A QTimer does not fire again while its own slot runs, so a dialog
// opened from inside a tick would stop the heartbeat; runModal() keeps ticks arriving nested
// inside such dialogs with a timer of their own, depth by depth.
class Heartbeat : public QObject {
    Q_OBJECT
public:
    static constexpr int kPeriodMs = 100;

    explicit Heartbeat(std::function<void()> tick, QObject* parent = nullptr);

    bool start();
    // For good: the program is ending.
    void stop();
    bool inTick() const { return depth_ > 0; }
    int ticks() const { return ticks_; }

    // Runs a modal dialog (or anything with an event loop of its own).
    void runModal(const std::function<void()>& dialog);

private:
    void fire();

    std::function<void()> tick_;
    QTimer timer_;
    int depth_ = 0;
    int ticks_ = 0;
};

} // namespace kqvdr
