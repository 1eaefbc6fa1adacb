#pragma once

namespace kqvdr {

// The arithmetic of a spinner's arrows, apart from any widget.
struct SpinSettings {
    double minimum = 0.0;
    double maximum = 100.0;
    double increment = 1.0;
    // Used instead of increment once an arrow has been held for a while; 0 means "increment".
    double acceleratedIncrement = 0.0;
    // Decimals the value is shown with; -1 follows the increment (0.01 shows two decimals).
    int decimals = -1;
};

class SpinStepper {
public:
    // Timing of a held arrow: one step on the press, a pause, then repeats; after a number of
    // repeats the steps become accelerated.
    static constexpr int kFirstRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 70;
    static constexpr int kRepeatsBeforeAcceleration = 10;

    SpinSettings settings;

    // Decimals in effect (explicit, else those of the increment).
    int decimals() const;

    // The value one arrow step away. The result stays within the range, whichever way round the
    // limits were set, and is rounded to the shown decimals so that repeated 0.1 steps land on
    // the same numbers a caller compares with. Stepping from beyond a limit lands on that limit;
    // from a value that is no number, up gives the minimum and down the maximum.
    double step(double from, int direction, bool accelerated) const;

    // True for the repeat (1 = first auto-repeat) that should use the accelerated increment.
    static bool acceleratedRepeat(int repeat) { return repeat > kRepeatsBeforeAcceleration; }

    // The value rounded to the shown decimals, with no negative zero.
    double rounded(double value) const;
};

} // namespace kqvdr
