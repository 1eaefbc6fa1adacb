#pragma once

namespace kqvdr {

// Maps values to pointer angles on a dial and back. Angles are in degrees, counter-clockwise
// from three o'clock with y pointing up, as in mathematics. The scale starts at the lower left
// and runs clockwise over the top to the lower right, leaving a gap at the bottom.
class DialScale {
public:
    static constexpr double kStartAngle = 225.0;
    static constexpr double kSweep = 270.0;

    DialScale(double minimum, double maximum) : minimum_(minimum), maximum_(maximum) {}

    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }

    // Values beyond the scale pin the pointer at its end.
    double angleFor(double value) const;

    // The value under an angle. In the gap at the bottom it is the nearer end of the scale.
    double valueAt(double angle) const;

    // Where a drag to angle leaves a knob that showed current: the value under the angle, except
    // that a move across the gap (a jump of more than half the scale) keeps the end the knob was
    // nearer to, so the pointer cannot whip from maximum to minimum.
    double dragTo(double current, double angle) const;

    // value rounded to the nearest multiple of interval (counted from the minimum) and kept on the
    // scale; interval 0 only keeps it on the scale.
    double snapped(double value, double interval) const;

private:
    double fraction(double value) const;
    double minimum_;
    double maximum_;
};

} // namespace kqvdr
