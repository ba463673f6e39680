#pragma once
// Maths whose results do not depend on the C library: the asset makers must write the same bytes
// on every machine, so they use these instead of <cmath>'s sin/cos/exp/pow. Only +, -, *, / and
// sqrt are used, which IEEE 754 rounds the same way everywhere (built with -ffp-contract=off).
#include <cstdint>

namespace det {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// Whole part toward minus infinity, for values well inside the int64 range.
inline double floorD(double x)
{
    const double t = static_cast<double>(static_cast<int64_t>(x));
    return t > x ? t - 1.0 : t;
}

// Sine of x radians: reduced to [-pi/2, pi/2], then a Taylor polynomial to x^15 (error < 1e-12).
inline double sin(double x)
{
    x -= kTwoPi * floorD(x / kTwoPi + 0.5);  // [-pi, pi]
    if (x > kPi / 2)
        x = kPi - x;
    else if (x < -kPi / 2)
        x = -kPi - x;
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 7; ++n) {
        term *= -x2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

inline double cos(double x) { return sin(x + kPi / 2); }

// e^x for the small ranges used by envelopes and colour ramps: halve until tiny, then square back.
inline double exp(double x)
{
    int halvings = 0;
    while (x > 0.03125 || x < -0.03125) {
        x *= 0.5;
        ++halvings;
    }
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 8; ++n) {
        term *= x / n;
        sum += term;
    }
    while (halvings-- > 0)
        sum *= sum;
    return sum;
}

inline double clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline double mix(double a, double b, double t) { return a + (b - a) * t; }
inline double smoothstep(double e0, double e1, double x)
{
    const double t = clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// A small fixed-seed generator (xorshift32): the same sequence on every platform.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 8) / 16777216.0; }
    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

private:
    uint32_t state_;
};

}  // namespace det
