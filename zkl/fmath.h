#pragma once
// Small numeric helpers of the toolkit: the degree factor, the loop guard of the generators and
// the angle table indexed by tenths of a degree.
#include <algorithm>
#include <cmath>
#include <limits>

namespace zkl {

// Degrees to radians, the factor the whole toolkit uses (not pi / 180).
constexpr double DEG = 0.0174533;

// Whether a loop that starts at `from` and adds `step` until it passes `to` ends: all three
// finite, the step positive and large enough to move the running value at the far end of the
// range (and so everywhere inside it, where representable numbers lie closer together).
template <class T>
bool StepReaches(T from, T step, T to)
{
    if (!std::isfinite(from) || !std::isfinite(step) || !std::isfinite(to) || !(step > T(0)))
        return false;
    const T far = std::max(std::fabs(from), std::fabs(to));
    const T gap = std::nextafter(far, std::numeric_limits<T>::infinity()) - far;
    return step > gap / T(2);
}

// The angle and height steps of a surface around the y axis, 360 / divAngle and
// length / divLength; false when either cannot carry its loop (angle while at most 360, height
// while below length) to the bound.
inline bool RingSteps(float length, float divLength, float divAngle, float& da, float& dy)
{
    if (!(divLength > 0.0f) || !(divAngle > 0.0f))
        return false;
    da = 360.0f / divAngle;
    dy = length / divLength;
    return StepReaches(0.0f, da, 360.0f) && StepReaches(0.0f, dy, length);
}

// 3600 entries, entry k standing for k / 10 degrees; all 0.0 until FillAngleTable.
extern double angleTable[3600];

// Sets every entry to 1.0.
void FillAngleTable();
// The entry for an angle in degrees: tenths truncated toward zero, then wrapped into 0 to 3599.
// An angle that is not a finite number has no entry and gives 0.0.
double AngleTableAt(double angle);

}  // namespace zkl
