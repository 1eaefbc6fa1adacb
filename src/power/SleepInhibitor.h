#pragma once

namespace kqvdr {

// Keeps the computer from going to sleep between hold() and release(); the display may still
// turn off. Both may be called again in the state they already made: nothing more happens.
class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    virtual void hold() = 0;
    virtual void release() = 0;
};

// For a program that has nothing to keep awake, and for tests that are not about sleep.
class NoSleepInhibitor final : public SleepInhibitor {
public:
    void hold() override {}
    void release() override {}
};

} // namespace kqvdr
