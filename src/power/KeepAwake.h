#pragma once

namespace kqvdr {

class OperationalLogChannel;
class SleepInhibitor;
class TickRunner;

// An unattended night must not end at the computer's sleep timer. While the instrument is
// connected and a log, an automation or a system test runs, the computer is kept awake; it may
// sleep again once the last of them has ended, however it ended (the operator, a fault, the
// timetable's end), or the connection is gone.
class KeepAwake {
public:
    struct Watched {
        const OperationalLogChannel& log;
        const TickRunner& automation;
        const TickRunner& systemTest;
    };

    KeepAwake(Watched watched, SleepInhibitor& inhibitor);
    ~KeepAwake();
    KeepAwake(const KeepAwake&) = delete;
    KeepAwake& operator=(const KeepAwake&) = delete;

    void linkOpened();
    void linkClosed();
    // At the end of every tick: holds or releases as what runs now asks.
    void tick();

    bool holding() const { return holding_; }

private:
    void follow(bool wanted);

    Watched watched_;
    SleepInhibitor& inhibitor_;
    bool linkOpen_ = false;
    bool holding_ = false;
};

} // namespace kqvdr
