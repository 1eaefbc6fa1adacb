#pragma once

namespace kqvdr::sim {

// A heater's temperature over time, y = a + b·t + c·t², followed on its monotonic branch from
// t = 0 to the vertex. The simulated heaters move along these so that a heating run takes the
// time the system-test analysis expects of a healthy instrument.
class HeatingCurve {
public:
    constexpr HeatingCurve(double a, double b, double c) : a_(a), b_(b), c_(c) {}

    double at(double t) const { return (c_ * t + b_) * t + a_; }

    // Moves a temperature `seconds` along the curve towards `target`, never past it. Outside the
    // curve's branch the temperature moves at the curve's rate at its nearer end, but never
    // slower than a small minimum so that every target is reached.
    double step(double temperature, double target, double seconds) const;

private:
    bool rising() const { return b_ > 0; }
    double vertex() const { return -b_ / (2 * c_); }
    double timeAt(double temperature) const;
    double rateAt(double t) const { return b_ + 2 * c_ * t; }

    double a_;
    double b_;
    double c_;
};

inline constexpr HeatingCurve kNebuliserHeating{40.263374, 0.15889636, -3.3989287e-05};
inline constexpr HeatingCurve kEvaporatorHeating{45.375641, 0.2610386, -6.6291897e-05};
inline constexpr HeatingCurve kNebuliserCooling{217.78282, -0.066260472, 5.8323326e-06};
inline constexpr HeatingCurve kEvaporatorCooling{315.16156, -0.12380831, 1.3440129e-05};

} // namespace kqvdr::sim
