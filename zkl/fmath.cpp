#include "zkl/fmath.h"

#include <iterator>

namespace zkl {

double angleTable[3600];

void FillAngleTable()
{
    std::fill(std::begin(angleTable), std::end(angleTable), 1.0);
}

double AngleTableAt(double angle)
{
    // Wrap while still a double: fmod is exact, so any finite angle lands on the same entry
    // as the integer rule would, without converting a value out of the int range.
    const double tenths = std::trunc(angle * 10.0);
    if (!std::isfinite(tenths))
        return 0.0;
    double k = std::fmod(tenths, 3600.0);
    if (k < 0.0)
        k += 3600.0;
    return angleTable[static_cast<int>(k)];
}

}  // namespace zkl
